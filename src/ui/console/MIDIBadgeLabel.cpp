#include "ui/console/MIDIBadgeLabel.h"

#include <QFontMetricsF>
#include <QPainter>
#include <cmath>

#include "ui/console/ConsoleMetrics.h"
#include "ui/style/Fonts.h"
#include "ui/style/ThemeController.h"

namespace quellor {

MIDIBadgeLabel::MIDIBadgeLabel(ThemeController& themes, bool onDark, QWidget* parent)
    : QWidget(parent), themes_(themes), onDark_(onDark) {
    setObjectName(QStringLiteral("midi-badge"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    hide();
}

QFont MIDIBadgeLabel::font() const {
    return systemFont(ConsoleMetrics::MIDIBadge::kFontSize, badge_.isBold() ? QFont::Bold : QFont::Medium);
}

void MIDIBadgeLabel::setBadge(const MIDIStatusBadge& badge) {
    const bool changed = badge.state != badge_.state || badge.ccNumber != badge_.ccNumber;
    badge_ = badge;
    setAccessibleName(badge.text());
    setVisible(badge.isShown());
    if (changed) {
        updateGeometry();
        update();
    }
}

QSize MIDIBadgeLabel::sizeHint() const {
    if (!badge_.isShown()) return {0, 0};
    const QFontMetricsF metrics(font());
    return {int(std::ceil(metrics.horizontalAdvance(badge_.text()))), int(std::ceil(metrics.height()))};
}

void MIDIBadgeLabel::paintEvent(QPaintEvent*) {
    if (!badge_.isShown()) return;
    QPainter painter(this);
    painter.setFont(font());
    painter.setPen(badge_.color(themes_.current(), onDark_));
    painter.drawText(rect(), Qt::AlignCenter, badge_.text());
}

}  // namespace quellor
