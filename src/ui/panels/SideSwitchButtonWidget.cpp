#include "ui/panels/SideSwitchButtonWidget.h"

#include <QPainter>

#include "ui/console/ConsoleColors.h"
#include "ui/panels/PanelMetrics.h"
#include "ui/panels/PanelParts.h"
#include "ui/style/SymbolIcons.h"
#include "ui/style/ThemeController.h"

namespace quellor {
SideSwitchButtonWidget::SideSwitchButtonWidget(ThemeController& themes, QString symbol, QWidget* parent)
    : QAbstractButton(parent), themes_(themes), symbol_(std::move(symbol)) {
    setCheckable(true);
    setAutoExclusive(true);
    setFixedHeight(PanelMetrics::SideSwitch::kSegmentHeight);
    setCursor(Qt::PointingHandCursor);
}

void SideSwitchButtonWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const Palette colors = themes_.palette();
    using Switch = PanelMetrics::SideSwitch;
    if (isChecked())
        fillRounded(painter, rect(), Switch::kSegmentRadius, quaternaryFill(colorScheme(themes_.current())));
    const QRectF square((width() - Switch::kSymbolSize) / 2.0, (height() - Switch::kSymbolSize) / 2.0,
                        Switch::kSymbolSize, Switch::kSymbolSize);
    paintSymbol(painter, square, symbol_, isChecked() ? colors.textPrimary : colors.textSecondary);
}

}  // namespace quellor
