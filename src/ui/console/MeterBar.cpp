#include "ui/console/MeterBar.h"

#include <algorithm>
#include <cmath>

#include "ui/console/ConsoleColors.h"

namespace quellor {

using M = ConsoleMetrics::Meter;

void PeakHold::update(float level, double at) {
    if (level >= value_) {
        value_ = level;
        since_ = at;
    } else if (at - since_ > kHoldSeconds) {
        value_ = std::max(value_ - kFallPerReading, level);
    }
    if (level >= kClipLevel) clipUntil_ = at + kClipSeconds;
}

float meterReading(float level) {
    if (!(level > 0.0f)) return 0.0f;
    return std::min(level, 1.0f);
}

QRectF MeterColumn::barRect(double bottom) const {
    return {(M::kWidth - M::kBarWidth) / 2, bottom - barHeight, M::kBarWidth, barHeight};
}

QRectF MeterColumn::peakRect(double bottom) const {
    return {0, bottom - peakOffset - M::kPeakHeight, M::kWidth, M::kPeakHeight};
}

std::vector<QRectF> MeterColumn::gapRects(double bottom) const {
    std::vector<QRectF> rects;
    for (double y : gaps) rects.emplace_back(0, bottom - height + y, M::kWidth, M::kGapHeight);
    return rects;
}

QRectF MeterColumn::lampRect(double bottom) const {
    return {0, bottom - height - M::kLampRise, M::kLampDiameter, M::kLampDiameter};
}

MeterColumn MeterBar::tick(float level, double now, bool isActive, bool isCued, double travel, ThemeMode theme) {
    const float reading = meterReading(level);
    hold_.update(reading, now);
    const Palette p = palette(theme);
    MeterColumn column;
    column.height = MeterColumn::heightFor(travel);
    column.barHeight = std::max(double(reading), M::kMinHeight / column.height) * column.height;
    column.barOpacity = isActive && reading > 0.004f ? 1 : 0;
    column.peakOffset = column.height * hold_.value();
    column.peakOpacity = isActive && hold_.value() > 0.02f ? 1 : 0;
    column.lampOpacity = isActive && hold_.isClipping(now) ? 1 : 0;
    for (double y = M::kFirstGapTop; y < column.height; y += M::kGapPitch) column.gaps.push_back(y);
    if (isCued) {
        const QColor cue = cueColor(theme);
        column.gradient = {{0, withOpacity(cue, 0.95)}, {1, withOpacity(cue, 0.3)}};
    } else {
        column.gradient = {{0, standardRed(theme)}, {0.14, standardYellow(theme)}, {0.32, p.signal},
                           {1, withOpacity(p.signal, 0.35)}};
    }
    column.peakColor = withOpacity(p.textPrimary, 0.8);
    column.gapColor = p.panel;
    column.lampColor = standardRed(theme);
    return column;
}

}  // namespace quellor
