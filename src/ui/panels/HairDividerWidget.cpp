#include "ui/panels/HairDividerWidget.h"

#include <QPainter>

#include "ui/style/ThemeController.h"

namespace quellor {

HairDividerWidget::HairDividerWidget(ThemeController& themes, QWidget* parent) : QWidget(parent), themes_(themes) {
    setFixedHeight(1);
}

void HairDividerWidget::paintEvent(QPaintEvent*) { QPainter(this).fillRect(rect(), themes_.palette().hair); }

}  // namespace quellor
