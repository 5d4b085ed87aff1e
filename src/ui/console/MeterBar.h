#pragma once
// The narrow level meter along the right edge of a console fader: a segmented bar linear in the
// level, a peak-hold line and a clip lamp. A meter reads its strip model's meter closure once per
// tick of the shared 10 Hz clock (MeterRepaintClock) and keeps its peak and clip timing in a PeakHold of
// its own; it reads nothing from the engine itself.
//
// Peak hold: a reading at or above the held peak raises it and restarts its hold time; once the
// peak has been held for more than 1.2 s it falls by 0.04 per reading (0.4 per second at ten
// readings a second) until it meets the level. A reading of 0.98 or more lights the clip lamp until
// 2 s after it. Times are seconds on the monotonic clock (Scheduler::now()), so a change of the
// wall clock never freezes or skips them.
//
// The hold and the clip timing follow the level while the strip is inactive too; an inactive meter
// only shows nothing.
//
// Threads: main thread only.

#include <QColor>
#include <QRectF>
#include <algorithm>
#include <vector>

#include "ui/console/ConsoleMetrics.h"
#include "ui/style/ThemeMode.h"

namespace quellor {

class PeakHold {
public:
    static constexpr double kHoldSeconds = 1.2;
    static constexpr float kFallPerReading = 0.04f;
    static constexpr float kClipLevel = 0.98f;
    static constexpr double kClipSeconds = 2.0;

    explicit PeakHold(double createdAt) : since_(createdAt) {}

    // Folds one reading (0...1) taken at `at` into the hold.
    void update(float level, double at);
    bool isClipping(double at) const { return at < clipUntil_; }

    float value() const { return value_; }
    double since() const { return since_; }

private:
    float value_ = 0;
    double since_;
    double clipUntil_ = -1e300;  // the distant past
};

// A level as the meter takes it: at or below 0 (or not a number) counts as 0, above 1 as 1.
float meterReading(float level);

// What one meter column shows after a tick, bottom-aligned in a column ConsoleMetrics::Meter::kWidth
// wide, with the clip lamp over its top.
struct MeterColumn {
    struct Stop {
        double location;  // 0 = top of the bar
        QColor color;
        bool operator==(const Stop&) const = default;
    };

    double height = 2;      // max(2, travel)
    double barHeight = 2;   // never below 2 points; the whole gradient scales with the bar
    double barOpacity = 0;
    double peakOffset = 0;  // the peak line's lift from the bottom
    double peakOpacity = 0;
    double lampOpacity = 0;
    std::vector<double> gaps;  // tops of the segment gaps, from the column's top
    std::vector<Stop> gradient;
    QColor peakColor;
    QColor gapColor;
    QColor lampColor;

    // The column's height for a travel: the travel, never below the least height.
    static double heightFor(double travel) { return std::max(ConsoleMetrics::Meter::kMinHeight, travel); }

    // Where the parts go with the column's foot at `bottom`, its left edge at 0 (the painter's
    // coordinates: the lamp stands kLampRise above the column's top).
    QRectF barRect(double bottom) const;  // centred in the column
    QRectF peakRect(double bottom) const;
    std::vector<QRectF> gapRects(double bottom) const;
    QRectF lampRect(double bottom) const;
};

class MeterBar {
public:
    explicit MeterBar(double createdAt) : hold_(createdAt) {}

    // One tick of the meter's clock at `now` with its strip's current level.
    MeterColumn tick(float level, double now, bool isActive, bool isCued, double travel, ThemeMode theme);
    const PeakHold& hold() const { return hold_; }

private:
    PeakHold hold_;
};

}  // namespace quellor
