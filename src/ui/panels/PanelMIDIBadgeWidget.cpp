#include "ui/panels/PanelMIDIBadgeWidget.h"

#include <QPainter>

#include "ui/console/ConsoleColors.h"
#include "ui/panels/PanelMIDI.h"
#include "ui/panels/PanelMetrics.h"
#include "ui/panels/PanelParts.h"
#include "ui/style/Fonts.h"

namespace quellor {

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
    const bool chip = badge_.state == MIDIStatusBadge::State::Mapped;
    const int padX = chip ? PanelMetrics::MIDIBadge::kPaddingX : 0;
    const int padY = chip ? PanelMetrics::MIDIBadge::kPaddingY : 0;
    return {metrics.horizontalAdvance(text()) + 2 * padX + 1, metrics.height() + 2 * padY};
}

void PanelMIDIBadgeWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const bool learning = badge_.state == MIDIStatusBadge::State::Learn;
    const QColor color = learning ? standardOrange(theme_) : quellor::palette(theme_).brand;
    if (!learning) fillRounded(painter, rect(), PanelMetrics::MIDIBadge::kRadius, withOpacity(color, 0.15));
    painter.setFont(font());
    painter.setPen(color);
    painter.drawText(rect(), Qt::AlignCenter, text());
}

}  // namespace quellor
