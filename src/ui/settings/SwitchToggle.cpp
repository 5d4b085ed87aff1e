#include "ui/settings/SwitchToggle.h"

#include <QPainter>

#include "ui/settings/SettingsMetrics.h"
#include "ui/style/ThemeController.h"

namespace quellor {

using M = SettingsMetrics::Toggle;

SwitchToggle::SwitchToggle(ThemeController& themes, const QString& title, QWidget* parent)
    : QCheckBox(title, parent), themes_(themes) {
    setCursor(Qt::PointingHandCursor);
    connect(&themes_, &ThemeController::themeChanged, this, qOverload<>(&QWidget::update));
}

QSize SwitchToggle::sizeHint() const {
    const QFontMetrics m = fontMetrics();
    return {M::kTrackWidth + M::kGap + m.horizontalAdvance(text()) + 2, std::max(M::kTrackHeight, m.height()) + 4};
}

bool SwitchToggle::hitButton(const QPoint& pos) const { return rect().contains(pos); }

void SwitchToggle::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const Palette colours = themes_.palette();
    if (!isEnabled()) p.setOpacity(0.45);
    const QRectF track(0.5, (height() - M::kTrackHeight) / 2.0, M::kTrackWidth, M::kTrackHeight);
    const double r = M::kTrackHeight / 2.0;
    p.setPen(isChecked() ? Qt::NoPen : QPen(colours.hair, 1));
    p.setBrush(isChecked() ? colours.brand : colours.elevated);
    p.drawRoundedRect(track, r, r);
    const double knob = M::kTrackHeight - 4;
    const double x = isChecked() ? track.right() - 2 - knob : track.left() + 2;
    p.setPen(Qt::NoPen);
    p.setBrush(isChecked() ? QColor(Qt::white) : colours.textSecondary);
    p.drawEllipse(QRectF(x, track.top() + 2, knob, knob));
    if (hasFocus()) {
        p.setPen(QPen(colours.brand, 1));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(track.adjusted(-2, -2, 2, 2), r + 2, r + 2);
    }
    p.setPen(palette().color(QPalette::WindowText));
    p.drawText(QRectF(M::kTrackWidth + M::kGap, 0, width() - M::kTrackWidth - M::kGap, height()),
               Qt::AlignVCenter | Qt::AlignLeft, text());
}

}  // namespace quellor
