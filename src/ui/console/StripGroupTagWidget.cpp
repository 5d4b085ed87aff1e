#include "ui/console/StripGroupTagWidget.h"

#include <QPainter>

#include "ui/console/ConsoleMetrics.h"
#include "ui/style/Fonts.h"
#include "ui/style/ThemeController.h"

namespace quellor {

StripGroupTagWidget::StripGroupTagWidget(ThemeController& themes, QWidget* parent)
    : QWidget(parent), themes_(themes) {
    setObjectName(QStringLiteral("strip-group-tag"));
}

void StripGroupTagWidget::set(const QString& tag, const QString& help) {
    tag_ = tag;
    setToolTip(help);
    setAccessibleName(help);
    update();
}

void StripGroupTagWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const Palette p = themes_.palette();
    painter.setPen(Qt::NoPen);
    painter.setBrush(p.brand);
    using T = ConsoleMetrics::TitleBlock;
    painter.drawRoundedRect(QRectF(rect()), T::kGroupTagRadius, T::kGroupTagRadius);
    painter.setPen(p.void_);
    painter.setFont(monoFont(T::kGroupTagFontSize, QFont::Bold));
    painter.drawText(rect(), Qt::AlignCenter, tag_);
}

}  // namespace quellor
