#include "ui/settings/TakeAreaWidget.h"

#include <QApplication>
#include <QDrag>
#include <QFileInfo>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QUrl>

#include "ui/settings/LatestRecordingModel.h"
#include "ui/settings/MainRecordingCard.h"
#include "ui/settings/RecordingCardLook.h"
#include "ui/settings/SettingsMetrics.h"
#include "ui/style/Fonts.h"
#include "ui/style/ThemeController.h"

namespace quellor {

TakeAreaWidget::TakeAreaWidget(const MainRecordingCard& model, ThemeController& themes,
                               LatestRecordingModel& recordings, QWidget* parent)
    : QWidget(parent), model_(model), themes_(themes), recordings_(recordings) {}

void TakeAreaWidget::follow() {
    const auto state = model_.state();
    const bool latest = state == MainRecordingCard::State::Latest;
    setObjectName(latest ? QStringLiteral("export-card") : QString());
    setAccessibleName(latest ? model_.latestAccessibleLabel()
                             : state == MainRecordingCard::State::Empty ? MainRecordingCard::kEmptyLabel
                                                                        : model_.clockText());
    setToolTip(latest ? MainRecordingCard::kLatestHelp
                      : state == MainRecordingCard::State::Empty ? MainRecordingCard::kEmptyHelp : QString());
    setCursor(latest ? Qt::OpenHandCursor : Qt::ArrowCursor);
    setFixedSize(int(SettingsMetrics::MainRecordingCard::kAreaWidth), int(SettingsMetrics::RecordingCard::kHeight));
    update();
}

void TakeAreaWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const Palette palette = themes_.palette();
    painter.setFont(systemFont(12, QFont::Bold));
    switch (model_.state()) {
    case MainRecordingCard::State::Clock:
        painter.setPen(RecordingCardLook::kRecRed);
        painter.drawText(rect(), Qt::AlignCenter, model_.clockText());
        break;
    case MainRecordingCard::State::Empty:
        painter.setOpacity(MainRecordingCard::kEmptyOpacity);
        painter.setPen(palette.textPrimary);
        painter.drawText(rect(), Qt::AlignCenter, MainRecordingCard::kEmptyText);
        break;
    case MainRecordingCard::State::Latest: {
        const QRectF canvas = MainRecordingCard::canvasRect(height());
        QPainterPath bars;
        for (const QRectF& bar : MainRecordingCard::waveformBars(recordings_.peaks(), canvas))
            bars.addRoundedRect(bar, 0.33, 0.33);
        painter.fillPath(bars, RecordingCardLook::kAmber);
        painter.setPen(palette.textPrimary);
        painter.drawText(MainRecordingCard::lengthRect(canvas, height()), Qt::AlignCenter, model_.lengthText());
        break;
    }
    }
}

void TakeAreaWidget::mousePressEvent(QMouseEvent* event) { pressedAt_ = event->position(); }

void TakeAreaWidget::mouseReleaseEvent(QMouseEvent*) { pressedAt_.reset(); }

void TakeAreaWidget::mouseMoveEvent(QMouseEvent* event) {
    if (!pressedAt_ || (event->position() - *pressedAt_).manhattanLength() < QApplication::startDragDistance()) return;
    pressedAt_.reset();
    const auto file = model_.dragFile();
    if (!file) return;
    // A file that is gone still drags, offering nothing.
    auto* mime = new QMimeData;
    if (QFileInfo::exists(*file)) mime->setUrls({QUrl::fromLocalFile(*file)});
    auto* drag = new QDrag(this);
    drag->setMimeData(mime);
    drag->setPixmap(grab());
    drag->exec(Qt::CopyAction);
}

}  // namespace quellor
