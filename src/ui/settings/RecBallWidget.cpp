#include "ui/settings/RecBallWidget.h"

#include <QPainter>

#include "base/Scheduler.h"
#include "ui/settings/RecCard.h"
#include "ui/settings/RecordingCardLook.h"
#include "ui/settings/SettingsMetrics.h"

namespace quellor {

RecBallWidget::RecBallWidget(const RecCard& model, QWidget* parent) : QAbstractButton(parent), model_(model) {
    setObjectName(QStringLiteral("rec-ball"));
    setFixedSize(int(SettingsMetrics::RecCard::kBallAreaWidth), int(SettingsMetrics::RecCard::kBallAreaHeight));
    setContextMenuPolicy(Qt::CustomContextMenu);
}

void RecBallWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setOpacity(RecCard::ballOpacity(model_.isRecording(), Scheduler::current().now()));
    painter.setPen(Qt::NoPen);
    painter.setBrush(RecordingCardLook::kRecRed);
    painter.drawEllipse(RecCard::ballRect(size()));
}

}  // namespace quellor
