#include "app/MenuBarCard.h"

#include <algorithm>
#include <cmath>

#include "recording/LatestRecording.h"

namespace quellor {

namespace card {

using M = ShellMetrics::MenuBarCard;

QPointF offset(QSizeF bounds) {
    // std::round rounds halves away from zero.
    return {std::round((bounds.width() - M::kWidth) / 2), std::round((bounds.height() - M::kHeight) / 2)};
}

std::vector<QRectF> bars(const std::vector<double>& envelope) {
    // The waveform area (18, 2.5, 34, 17), from the bottom-left; bars are centred on its middle.
    const double areaX = 18, areaWidth = 34, areaHeight = 17, mid = 2.5 + areaHeight / 2;
    const double n = double(envelope.size());
    const double span = n * 2.3 - 0.7;
    const double x0 = areaX + (areaWidth - span) / 2;
    std::vector<QRectF> rects;
    rects.reserve(envelope.size());
    for (size_t i = 0; i < envelope.size(); ++i) {
        double v = std::clamp(envelope[i], 0.0, 1.0);
        double h = std::max(v * std::min(areaHeight, 11.0), 1.6);
        double bottom = mid - h / 2;
        rects.emplace_back(x0 + 2.3 * double(i), M::kHeight - bottom - h, 1.6, h);
    }
    return rects;
}

Colours colours(bool dark) {
    auto rgb = [](double r, double g, double b) { return QColor::fromRgbF(float(r), float(g), float(b)); };
    const auto amber = dark ? LatestRecording::kAmber : LatestRecording::kAmberDeep;
    return Colours{dark ? QColor::fromRgbF(0.96f, 0.96f, 0.96f) : QColor::fromRgbF(0.08f, 0.08f, 0.08f),
                   dark ? rgb(0.95, 0.38, 0.34) : rgb(0.80, 0.18, 0.16), rgb(amber.red, amber.green, amber.blue),
                   rgb(0.93, 0.16, 0.14)};
}

bool Press::moved(QPointF to, bool isRecording, bool hasReadyFile) {
    if (isRecording || !hasReadyFile || !downPoint_) return false;
    if (std::hypot(to.x() - downPoint_->x(), to.y() - downPoint_->y()) <= M::kDragThreshold) return false;
    downPoint_.reset();
    return true;
}

}  // namespace card

}  // namespace quellor
