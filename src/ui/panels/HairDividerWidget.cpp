#include "ui/panels/HairDividerWidget.h"

#include <QPainter>

#include "ui/panels/PanelMetrics.h"
#include "ui/style/ThemeController.h"

namespace quellor {

HairDividerWidget::HairDividerWidget(ThemeController& themes, QWidget* parent) : QWidget(parent), themes_(themes) {
    setFixedHeight(PanelMetrics::Page::kDividerThickness);
}

void HairDividerWidget::paintEvent(QPaintEvent*) { QPainter(this).fillRect(rect(), themes_.palette().hair); }

}  // namespace quellor
