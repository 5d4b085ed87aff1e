#include "ui/console/MeterBar.h"

#include <algorithm>
#include <cmath>

#include "ui/console/ConsoleColors.h"

namespace quellor {

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

MeterColumn MeterBar::tick(float level, double now, bool isActive, bool isCued, double travel, ThemeMode theme) {
    const float reading = meterReading(level);
    hold_.update(reading, now);
    const Palette p = palette(theme);
    MeterColumn column;
    column.height = std::max(2.0, travel);
    column.barHeight = std::max(double(reading), 2.0 / column.height) * column.height;
    column.barOpacity = isActive && reading > 0.004f ? 1 : 0;
    column.peakOffset = column.height * hold_.value();
    column.peakOpacity = isActive && hold_.value() > 0.02f ? 1 : 0;
    column.lampOpacity = isActive && hold_.isClipping(now) ? 1 : 0;
    if (column.height > 3)
        for (double y = 3; y < column.height; y += 4) column.gaps.push_back(y);
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
