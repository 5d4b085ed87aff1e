#include "ui/panels/PanelParts.h"

#include <QMenu>
#include <QPainter>
#include <QPainterPath>

#include "ui/console/ConsoleColors.h"
#include "ui/panels/PanelMIDI.h"
#include "ui/style/Fonts.h"
#include "ui/style/SymbolIcons.h"

namespace quellor {

SymbolView::SymbolView(QString symbol, int pointSize, int frameWidth, QWidget* parent)
    : QWidget(parent), symbol_(std::move(symbol)), pointSize_(pointSize), frameWidth_(frameWidth) {
    setFixedWidth(frameWidth_);
    setMinimumHeight(pointSize_ + 2);
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

QSize SymbolView::sizeHint() const { return {frameWidth_, pointSize_ + 2}; }

void SymbolView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF square((width() - pointSize_) / 2.0, (height() - pointSize_) / 2.0, pointSize_, pointSize_);
    paintSymbol(painter, square, symbol_, color_);
}

PaintedView::PaintedView(const QString& objectName, Paint paint, QWidget* parent)
    : QWidget(parent), paint_(std::move(paint)) {
    setObjectName(objectName);
}

void PaintedView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    paint_(painter, rect());
}

QLabel* panelLabel(const QString& objectName, int pointSize, int weight, QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setObjectName(objectName);
    label->setFont(systemFont(pointSize, QFont::Weight(weight)));
    label->setTextFormat(Qt::PlainText);
    return label;
}

void setTextColor(QWidget& widget, const QColor& color) {
    QPalette palette = widget.palette();
    palette.setColor(QPalette::WindowText, color);
    palette.setColor(QPalette::ButtonText, color);
    widget.setPalette(palette);
}

PanelMIDIBadgeWidget::PanelMIDIBadgeWidget(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("panel-midi-badge"));
    setVisible(false);
}

void PanelMIDIBadgeWidget::setBadge(const MIDIStatusBadge& badge, ThemeMode theme) {
    if (badge.state == badge_.state && badge.ccNumber == badge_.ccNumber && theme == theme_) return;
    badge_ = badge;
    theme_ = theme;
    setVisible(badge_.isShown());
    updateGeometry();
    update();
}

QString PanelMIDIBadgeWidget::text() const { return panelBadgeText(badge_); }

QFont PanelMIDIBadgeWidget::font() const {
    return badge_.state == MIDIStatusBadge::State::Learn ? systemFont(10, QFont::Bold) : systemFont(9, QFont::Medium);
}

QSize PanelMIDIBadgeWidget::sizeHint() const {
    const QFontMetrics metrics(font());
    const int padX = badge_.state == MIDIStatusBadge::State::Mapped ? 4 : 0;
    const int padY = badge_.state == MIDIStatusBadge::State::Mapped ? 1 : 0;
    return {metrics.horizontalAdvance(text()) + 2 * padX + 1, metrics.height() + 2 * padY};
}

void PanelMIDIBadgeWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const bool learning = badge_.state == MIDIStatusBadge::State::Learn;
    const QColor color = learning ? standardOrange(theme_) : quellor::palette(theme_).brand;
    if (!learning) fillRounded(painter, rect(), 4, withOpacity(color, 0.15));
    painter.setFont(font());
    painter.setPen(color);
    painter.drawText(rect(), Qt::AlignCenter, text());
}

void fillRounded(QPainter& painter, const QRectF& rect, double radius, const QColor& color) {
    QPainterPath path;
    path.addRoundedRect(rect, radius, radius);
    painter.fillPath(path, color);
}

void openPanelMenu(const MenuModel& model, QWidget* over, QPoint globalPos) {
    if (!model.empty()) execMenu(model, over, globalPos);
}

}  // namespace quellor
