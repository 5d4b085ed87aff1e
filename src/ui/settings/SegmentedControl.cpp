#include "ui/settings/SegmentedControl.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QPainter>

#include "ui/settings/SegmentWidget.h"
#include "ui/settings/SettingsMetrics.h"
#include "ui/settings/SettingsStyle.h"
#include "ui/style/ThemeController.h"

namespace quellor {

using M = SettingsMetrics::Segmented;

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
    auto* segment = new SegmentWidget(themes_, title, this);
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
