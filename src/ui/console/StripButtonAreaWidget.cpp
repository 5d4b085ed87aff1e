#include "ui/console/StripButtonAreaWidget.h"

#include <QPainter>

#include "ui/console/ConsoleMetrics.h"
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
    const int edge = int(ConsoleMetrics::Strip::kButtonAreaEdgeWidth);
    painter.fillRect(QRect(0, 0, edge, height()), p.hair);
    painter.fillRect(QRect(width() - edge, 0, edge, height()), p.hair);
}

}  // namespace quellor
