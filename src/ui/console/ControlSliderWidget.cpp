#include "ui/console/ControlSliderWidget.h"

#include <QMouseEvent>
#include <QPainter>
#include <QRadialGradient>

#include "ui/style/SymbolIcons.h"

namespace quellor {

using C = ConsoleMetrics::ControlSlider;

ControlSliderWidget::ControlSliderWidget(QString icon, int height, QWidget* parent)
    : QWidget(parent), icon_(std::move(icon)) {
    setFixedHeight(height);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    glide_.setEasingCurve(QEasingCurve::OutCubic);
    connect(&glide_, &QVariantAnimation::valueChanged, this, [this](const QVariant& v) {
        shown_ = v.toFloat();
        update();
    });
}

void ControlSliderWidget::setLevel(float level) {
    if (level == level_) return;
    level_ = level;
    if (startingDrag_) {
        // The jump to the pressed point at the start of a drag eases in.
        glideTo(level, int(ControlSliderLook::kDragStartSeconds * 1000));
    } else if (gesture_.isDragging()) {
        // The knob stays under the pointer.
        glide_.stop();
        shown_ = level;
        update();
    } else {
        glideTo(level, int(ControlSliderLook::kGlideSeconds * 1000));
    }
}

void ControlSliderWidget::glideTo(float level, int milliseconds) {
    glide_.stop();
    glide_.setDuration(milliseconds);
    glide_.setStartValue(shown_);
    glide_.setEndValue(level);
    glide_.start();
}

void ControlSliderWidget::setIcon(const QString& icon) {
    icon_ = icon;
    update();
}

void ControlSliderWidget::setIconDimmed(bool dimmed) {
    iconDimmed_ = dimmed;
    update();
}

void ControlSliderWidget::write(std::optional<float> level, bool dragStarted) {
    if (!level || !onLevel) return;
    startingDrag_ = dragStarted;
    onLevel(*level);
    startingDrag_ = false;
}

void ControlSliderWidget::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    const auto level = gesture_.pressed(geometry(), event->position(), bool(onIconTap));
    write(level, gesture_.isDragging());
    update();
}

void ControlSliderWidget::mouseMoveEvent(QMouseEvent* event) {
    if (!(event->buttons() & Qt::LeftButton)) return;
    const bool wasDragging = gesture_.isDragging();
    write(gesture_.moved(geometry(), event->position()), !wasDragging && gesture_.isDragging());
}

void ControlSliderWidget::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    const bool tap = gesture_.released(geometry(), event->position());
    update();
    if (tap && onIconTap) onIconTap();
}

void ControlSliderWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const ControlSliderGeometry g = geometry();
    const ColorScheme scheme =
        palette().color(QPalette::Window).lightness() < 128 ? ColorScheme::Dark : ColorScheme::Light;
    const ControlSliderLook l = ControlSliderLook::of(scheme, gesture_.isDragging(), iconDimmed_);
    const double r = g.height / 2;

    const QRectF track(0, 0, g.width, g.height);
    painter.setPen(Qt::NoPen);
    painter.setBrush(l.track);
    painter.drawRoundedRect(track, r, r);
    painter.setPen(QPen(l.border, C::kBorderWidth));
    painter.setBrush(Qt::NoBrush);
    const double inset = C::kBorderWidth / 2;
    painter.drawRoundedRect(track.adjusted(inset, inset, -inset, -inset), r - inset, r - inset);

    painter.setPen(Qt::NoPen);
    painter.setBrush(l.fill);
    painter.drawRoundedRect(g.fillRect(shown_), r, r);

    const QRectF knob = g.knobRect(shown_);
    const QPointF shadowCentre = knob.center() + QPointF(0, C::kKnobShadowDrop);
    QRadialGradient shadow(shadowCentre, r + l.knobShadowBlur);
    shadow.setColorAt(r / (r + l.knobShadowBlur), l.knobShadow);
    shadow.setColorAt(1, Qt::transparent);
    painter.setBrush(shadow);
    painter.drawEllipse(shadowCentre, r + l.knobShadowBlur, r + l.knobShadowBlur);
    painter.setBrush(l.knob);
    painter.drawEllipse(knob);

    const double s = C::kIconPointSize;
    const QPointF c = g.iconSquare().center();
    paintSymbol(painter, QRectF(c.x() - s / 2, c.y() - s / 2, s, s), icon_, l.icon);
}

}  // namespace quellor
