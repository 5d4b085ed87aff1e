#include "ui/panels/SideSwitchButtonWidget.h"

#include <QPainter>

#include "ui/console/ConsoleColors.h"
#include "ui/panels/PanelParts.h"
#include "ui/style/SymbolIcons.h"
#include "ui/style/ThemeController.h"

namespace quellor {
namespace {

constexpr int kSegmentHeight = 24;
constexpr int kSegmentRadius = 6;
constexpr int kSegmentSymbolSize = 12;

}  // namespace

SideSwitchButtonWidget::SideSwitchButtonWidget(ThemeController& themes, QString symbol, QWidget* parent)
    : QAbstractButton(parent), themes_(themes), symbol_(std::move(symbol)) {
    setCheckable(true);
    setAutoExclusive(true);
    setFixedHeight(kSegmentHeight);
    setCursor(Qt::PointingHandCursor);
}

void SideSwitchButtonWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const Palette colors = themes_.palette();
    if (isChecked()) fillRounded(painter, rect(), kSegmentRadius, quaternaryFill(colorScheme(themes_.current())));
    const QRectF square((width() - kSegmentSymbolSize) / 2.0, (height() - kSegmentSymbolSize) / 2.0,
                        kSegmentSymbolSize, kSegmentSymbolSize);
    paintSymbol(painter, square, symbol_, isChecked() ? colors.textPrimary : colors.textSecondary);
}

}  // namespace quellor
