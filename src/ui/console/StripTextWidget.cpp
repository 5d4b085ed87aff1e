#include "ui/console/StripTextWidget.h"

#include <QFontMetricsF>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace quellor {

StripTextWidget::StripTextWidget(const QString& objectName, QWidget* parent) : QWidget(parent) {
    setObjectName(objectName);
}

void StripTextWidget::set(const QString& text, const QFont& font, const QColor& color, double minimumScale) {
    text_ = text;
    font_ = font;
    color_ = color;
    minimumScale_ = minimumScale;
    update();
}

double StripTextWidget::naturalWidth() const { return QFontMetricsF(font_).horizontalAdvance(text_); }

int StripTextWidget::lineHeight() const { return int(std::ceil(QFontMetricsF(font_).height())); }

void StripTextWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::TextAntialiasing);
    const double natural = naturalWidth();
    const double scale = natural > width() ? std::max(minimumScale_, width() / natural) : 1.0;
    painter.translate(0, height() / 2.0);
    painter.scale(scale, scale);
    painter.setFont(font_);
    painter.setPen(color_);
    const QFontMetricsF metrics(font_);
    const QString shown = metrics.elidedText(text_, Qt::ElideRight, width() / scale);
    painter.drawText(QPointF(0, (metrics.ascent() - metrics.descent()) / 2), shown);
}

}  // namespace quellor
