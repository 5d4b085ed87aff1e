#include "ui/panels/PaintedView.h"

#include <QPainter>

namespace quellor {

PaintedView::PaintedView(const QString& objectName, Paint paint, QWidget* parent)
    : QWidget(parent), paint_(std::move(paint)) {
    setObjectName(objectName);
}

void PaintedView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    paint_(painter, rect());
}

}  // namespace quellor
