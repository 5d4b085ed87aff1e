#include "ui/panels/SideSwitchWidget.h"

#include <QPainter>

#include "ui/console/ConsoleColors.h"
#include "ui/panels/PanelParts.h"
#include "ui/style/ThemeController.h"

namespace quellor {
namespace {

constexpr int kSwitchRadius = 8;

}  // namespace

SideSwitchWidget::SideSwitchWidget(ThemeController& themes, QWidget* parent) : QWidget(parent), themes_(themes) {
    setObjectName(QStringLiteral("side-switch"));
}

void SideSwitchWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    fillRounded(painter, rect(), kSwitchRadius, quaternaryFill(colorScheme(themes_.current())));
}

}  // namespace quellor
