#include "app/SplitHandle.h"

#include <QMouseEvent>
#include <QPainter>

#include "app/ShellMetrics.h"

namespace quellor {

SplitHandle::SplitHandle(Axis axis, Binding size, double lower, double upper, bool growsAway, bool visible, QWidget* parent)
    : QWidget(parent), axis_(axis), size_(std::move(size)), drag_(lower, upper, growsAway), visible_(visible) {
    setObjectName(QStringLiteral("split-handle"));
    setCursor(axis == Axis::Vertical ? Qt::SplitHCursor : Qt::SplitVCursor);
    setAttribute(Qt::WA_TranslucentBackground);
}

void SplitHandle::setBarColor(const QColor& color) {
    barColor_ = color;
    update();
}

QRect SplitHandle::gripGeometry(int slot, int length) const {
    const int before = (ShellMetrics::SplitHandle::kGripThickness - 1) / 2;
    return axis_ == Axis::Vertical ? QRect(slot - before, 0, ShellMetrics::SplitHandle::kGripThickness, length)
                                   : QRect(0, slot - before, length, ShellMetrics::SplitHandle::kGripThickness);
}

void SplitHandle::paintEvent(QPaintEvent*) {
    if (!visible_) return;
    QPainter painter(this);
    const int mid = (ShellMetrics::SplitHandle::kGripThickness - 1) / 2;
    painter.fillRect(axis_ == Axis::Vertical ? QRect(mid, 0, 1, height()) : QRect(0, mid, width(), 1), barColor_);
}

double SplitHandle::along(const QPointF& global) const { return axis_ == Axis::Vertical ? global.x() : global.y(); }

void SplitHandle::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    pressPosition_ = along(event->globalPosition());
}

void SplitHandle::mouseMoveEvent(QMouseEvent* event) {
    if (!(event->buttons() & Qt::LeftButton)) return;
    double translation = along(event->globalPosition()) - pressPosition_;
    // A drag starts at a distance of one pixel.
    if (!drag_.active() && std::abs(translation) < 1) return;
    size_.set(drag_.changed(size_.get(), translation));
}

void SplitHandle::mouseReleaseEvent(QMouseEvent*) { drag_.ended(); }

}  // namespace quellor
