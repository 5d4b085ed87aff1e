#include "ui/settings/SegmentWidget.h"

#include <QPainter>

#include "ui/settings/SettingsMetrics.h"
#include "ui/style/ThemeController.h"

namespace quellor {

using M = SettingsMetrics::Segmented;

SegmentWidget::SegmentWidget(ThemeController& themes, const QString& title, QWidget* parent)
    : QPushButton(title, parent), themes_(themes) {
    setCheckable(true);
    setAutoDefault(false);
    setFlat(true);
    setCursor(Qt::PointingHandCursor);
    setMinimumHeight(M::kHeight);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

QSize SegmentWidget::sizeHint() const {
    return {fontMetrics().horizontalAdvance(text()) + M::kSegmentPadding, M::kHeight};
}

void SegmentWidget::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const Palette colours = themes_.palette();
    const QRectF pill = QRectF(rect()).adjusted(M::kPillInset, M::kPillInset, -M::kPillInset, -M::kPillInset);
    if (isChecked()) {
        p.setPen(Qt::NoPen);
        p.setBrush(colours.brand);
        p.drawRoundedRect(pill, M::kCornerRadius - M::kPillInset, M::kCornerRadius - M::kPillInset);
    }
    if (hasFocus()) {
        p.setPen(QPen(colours.brand, 1));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(pill.adjusted(-1, -1, 1, 1), M::kCornerRadius - 1, M::kCornerRadius - 1);
    }
    p.setPen(isChecked() ? colours.void_ : colours.textPrimary);
    p.drawText(rect(), Qt::AlignCenter, text());
}

}  // namespace quellor
