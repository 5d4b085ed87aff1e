#include "ui/console/ControlSlider.h"

#include <algorithm>
#include <cmath>

#include "ui/console/ConsoleColors.h"

namespace quellor {

double ControlSliderGeometry::travel() const { return std::max(width - height, 1.0); }

QRectF ControlSliderGeometry::fillRect(float level) const {
    return {0, 0, height + level * (width - height), height};
}

QPointF ControlSliderGeometry::knobCentre(float level) const {
    return {height / 2 + level * (width - height), height / 2};
}

QRectF ControlSliderGeometry::knobRect(float level) const {
    const QPointF c = knobCentre(level);
    return {c.x() - height / 2, 0, height, height};
}

bool ControlSliderGeometry::onIconFace(QPointF point) const {
    const QPointF d = point - iconSquare().center();
    return d.x() * d.x() + d.y() * d.y() <= height * height / 4;
}

float ControlSliderGeometry::levelAt(double x) const {
    const double v = (x - height / 2) / travel();
    if (std::isnan(v) || v <= 0) return 0;
    if (v > 1) return 1;
    return float(v);
}

std::optional<float> ControlSliderGesture::change(const ControlSliderGeometry& geometry, QPointF point) {
    const bool opening = pressAt_ && point == *pressAt_;
    if (!isDragging_ && opening && point.x() < geometry.height && hasIconAction_) return std::nullopt;
    isDragging_ = true;
    return geometry.levelAt(point.x());
}

std::optional<float> ControlSliderGesture::pressed(const ControlSliderGeometry& geometry, QPointF point,
                                                   bool hasIconAction) {
    pressAt_ = point;
    hasIconAction_ = hasIconAction;
    isDragging_ = false;
    return change(geometry, point);
}

std::optional<float> ControlSliderGesture::moved(const ControlSliderGeometry& geometry, QPointF point) {
    if (!pressAt_) return std::nullopt;
    return change(geometry, point);
}

bool ControlSliderGesture::released(const ControlSliderGeometry& geometry, QPointF point) {
    if (!pressAt_) return false;
    const bool tap = !isDragging_ && hasIconAction_ && geometry.onIconFace(*pressAt_) && geometry.onIconFace(point);
    pressAt_.reset();
    isDragging_ = false;
    return tap;
}

ControlSliderLook ControlSliderLook::of(ColorScheme scheme, bool isDragging, bool iconDimmed) {
    const bool dark = scheme == ColorScheme::Dark;
    ControlSliderLook look;
    look.track = quaternaryFill(scheme);
    look.border = dark ? QColor::fromRgbF(1, 1, 1, 0.06f) : QColor::fromRgbF(0, 0, 0, 0.06f);
    look.fill = Qt::white;
    look.knob = Qt::white;
    look.knobShadow = QColor::fromRgbF(0, 0, 0, 0.25f);
    look.knobShadowBlur = isDragging ? ConsoleMetrics::ControlSlider::kDraggingKnobShadowBlur
                                     : ConsoleMetrics::ControlSlider::kKnobShadowBlur;
    look.icon = QColor::fromRgbF(0, 0, 0, iconDimmed ? 0.25f : 0.6f);
    return look;
}

}  // namespace quellor
