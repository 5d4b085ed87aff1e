#include "ui/panels/SideSwitchWidget.h"

#include <QPainter>

#include "ui/console/ConsoleColors.h"
#include "ui/panels/PanelMetrics.h"
#include "ui/panels/PanelParts.h"
#include "ui/style/ThemeController.h"

namespace quellor {
SideSwitchWidget::SideSwitchWidget(ThemeController& themes, QWidget* parent) : QWidget(parent), themes_(themes) {
    setObjectName(QStringLiteral("side-switch"));
}

void SideSwitchWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    fillRounded(painter, rect(), PanelMetrics::SideSwitch::kRadius, quaternaryFill(colorScheme(themes_.current())));
}

}  // namespace quellor
