#include "ui/panels/SymbolView.h"

#include <QPainter>

#include "ui/panels/PanelMetrics.h"
#include "ui/style/SymbolIcons.h"

namespace quellor {

SymbolView::SymbolView(QString symbol, int pointSize, int frameWidth, QWidget* parent)
    : QWidget(parent), symbol_(std::move(symbol)), pointSize_(pointSize), frameWidth_(frameWidth) {
    setFixedWidth(frameWidth_);
    setMinimumHeight(pointSize_ + PanelMetrics::Symbol::kFrameExtraHeight);
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void SymbolView::setSymbol(const QString& symbol) {
    if (symbol == symbol_) return;
    symbol_ = symbol;
    update();
}

void SymbolView::setColor(const QColor& color) {
    if (color == color_) return;
    color_ = color;
    update();
}

QSize SymbolView::sizeHint() const { return {frameWidth_, pointSize_ + PanelMetrics::Symbol::kFrameExtraHeight}; }

void SymbolView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF square((width() - pointSize_) / 2.0, (height() - pointSize_) / 2.0, pointSize_, pointSize_);
    paintSymbol(painter, square, symbol_, color_);
}

}  // namespace quellor
