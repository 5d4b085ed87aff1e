#include "ui/console/StripReadoutWidget.h"

#include <QContextMenuEvent>
#include <QFontMetricsF>
#include <QMouseEvent>
#include <QPainter>
#include <cmath>

#include "ui/console/ConsoleMetrics.h"
#include "ui/console/MIDIBadgeLabel.h"
#include "ui/console/StripReadout.h"
#include "ui/console/StripShapes.h"
#include "ui/style/Fonts.h"
#include "ui/style/ThemeController.h"

namespace quellor {

using R = ConsoleMetrics::Readout;

StripReadoutWidget::StripReadoutWidget(ThemeController& themes, QWidget* parent)
    : QWidget(parent), themes_(themes), badge_(new MIDIBadgeLabel(themes, /*onDark*/ true, this)) {
    setObjectName(QStringLiteral("strip-readout"));
    setToolTip(kReadoutHelp);
    badge_->setObjectName(QStringLiteral("strip-fader-midi-badge"));
}

void StripReadoutWidget::set(const QString& text, const StripLook& look, std::optional<MIDIStatusBadge> badge) {
    text_ = text;
    look_ = look;
    setAccessibleName(QStringLiteral("Level"));
    setAccessibleDescription(text);
    badge_->setBadge(badge.value_or(MIDIStatusBadge{}));
    relayout();
    update();
}

void StripReadoutWidget::resizeEvent(QResizeEvent*) { relayout(); }

void StripReadoutWidget::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()) && onClick) onClick();
}

void StripReadoutWidget::contextMenuEvent(QContextMenuEvent* event) {
    if (fadeMenu) execMenu(fadeMenu(), this, event->globalPos());
    event->accept();
}

void StripReadoutWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const Palette p = themes_.palette();
    // The outline is centred on the edge of the box, half of it inside the widget.
    const double inset = R::kOutlineWidth / 2;
    const QRectF box = QRectF(rect()).adjusted(inset, inset, -inset, -inset);
    const QPainterPath shape = halfRoundedRect(box, ConsoleMetrics::Strip::kCornerRadius, /*top*/ true);
    painter.setOpacity(look_.lcdOpacity);
    painter.fillPath(shape, p.lcd);
    painter.setOpacity(1);
    painter.strokePath(shape, QPen(p.hair, R::kOutlineWidth));

    const QFont font = monoFont(R::kFontSize, look_.readoutSemibold ? QFont::DemiBold : QFont::Normal);
    const QFontMetricsF metrics(font);
    const double right = badge_->isVisible() ? badge_->x() - R::kSpacing : width() - R::kPadding;
    const QString shown = metrics.elidedText(text_, Qt::ElideRight, right - R::kPadding);
    const double baseline = height() / 2.0 + (metrics.ascent() - metrics.descent()) / 2;
    painter.setFont(font);
    painter.setPen(look_.readoutColor);
    painter.drawText(QPointF(R::kPadding, baseline), shown);
    if (look_.readoutStruck) {
        const double y = std::round(height() / 2.0) + 0.5;
        painter.setPen(QPen(look_.strikeColor, 1));
        painter.drawLine(QPointF(R::kPadding, y), QPointF(R::kPadding + metrics.horizontalAdvance(shown), y));
    }
}

void StripReadoutWidget::relayout() {
    const QSize hint = badge_->sizeHint();
    badge_->setGeometry(width() - R::kPadding - hint.width(), (height() - hint.height()) / 2, hint.width(),
                        hint.height());
}

}  // namespace quellor
