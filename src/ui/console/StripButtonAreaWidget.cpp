#include "ui/console/StripButtonAreaWidget.h"

#include <QPainter>

#include "ui/style/ThemeController.h"

namespace quellor {

StripButtonAreaWidget::StripButtonAreaWidget(ThemeController& themes, QWidget* parent)
    : QWidget(parent), themes_(themes) {
    setObjectName(QStringLiteral("strip-button-area"));
}

void StripButtonAreaWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const Palette p = themes_.palette();
    painter.fillRect(rect(), p.panel);
    painter.fillRect(QRect(0, 0, 1, height()), p.hair);
    painter.fillRect(QRect(width() - 1, 0, 1, height()), p.hair);
}

}  // namespace quellor
