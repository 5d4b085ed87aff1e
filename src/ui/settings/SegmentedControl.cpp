#include "ui/settings/SegmentedControl.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QPainter>
#include <QPainterPath>

#include "ui/settings/SettingsMetrics.h"
#include "ui/settings/SettingsStyle.h"
#include "ui/style/ThemeController.h"

namespace quellor {

using M = SettingsMetrics::Segmented;

// One segment: transparent unless chosen, where it is a brand-coloured pill inside the row.
class SegmentedControl::Segment : public QPushButton {
public:
    Segment(ThemeController& themes, const QString& title, QWidget* parent) : QPushButton(title, parent), themes_(themes) {
        setCheckable(true);
        setAutoDefault(false);
        setFlat(true);
        setCursor(Qt::PointingHandCursor);
        setMinimumHeight(M::kHeight);
        setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    }
    QSize sizeHint() const override {
        return {fontMetrics().horizontalAdvance(text()) + M::kSegmentPadding, M::kHeight};
    }

protected:
    void paintEvent(QPaintEvent*) override {
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

private:
    ThemeController& themes_;
};

SegmentedControl::SegmentedControl(ThemeController& themes, QWidget* parent) : QWidget(parent), themes_(themes) {
    row_ = new QHBoxLayout(this);
    row_->setContentsMargins(0, 0, 0, 0);
    row_->setSpacing(0);
    group_ = new QButtonGroup(this);
    group_->setExclusive(true);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    connect(&themes_, &ThemeController::themeChanged, this, [this] {
        update();
        for (QAbstractButton* b : group_->buttons()) b->update();
    });
}

QPushButton* SegmentedControl::addSegment(const QString& title, const QString& objectName) {
    auto* segment = new Segment(themes_, title, this);
    segment->setObjectName(objectName);
    group_->addButton(segment, int(group_->buttons().size()));
    row_->addWidget(segment);
    return segment;
}

void SegmentedControl::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const Palette colours = themes_.palette();
    // The hairlines below keep the frame's pen.
    paintOutlinedFrame(p, rect(), colours.hair, colours.elevated, M::kCornerRadius);
    // Hairlines between two segments that are both unchosen.
    const auto buttons = group_->buttons();
    for (int i = 1; i < buttons.size(); ++i) {
        if (buttons[i - 1]->isChecked() || buttons[i]->isChecked()) continue;
        const double x = buttons[i]->geometry().left() + 0.5;
        p.drawLine(QPointF(x, M::kDividerInset), QPointF(x, height() - M::kDividerInset));
    }
}

}  // namespace quellor
