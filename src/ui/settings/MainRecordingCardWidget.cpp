#include "ui/settings/MainRecordingCardWidget.h"

#include <QHBoxLayout>
#include <QPainter>

#include "engine/MixerEngine.h"
#include "ui/settings/FolderButtonWidget.h"
#include "ui/settings/LatestRecordingModel.h"
#include "ui/settings/RecordingCardLook.h"
#include "ui/settings/RepeatWhile.h"
#include "ui/settings/SettingsMetrics.h"
#include "ui/settings/SettingsStyle.h"
#include "ui/settings/TakeAreaWidget.h"
#include "ui/style/ThemeController.h"

namespace quellor {

using Frame = SettingsMetrics::RecordingCard;
using M = SettingsMetrics::MainRecordingCard;

MainRecordingCardWidget::MainRecordingCardWidget(MixerEngine& engine, const MixRecorder* recorder,
                                                 LatestRecordingModel& recordings, ThemeController& themes,
                                                 RecordingFolder::Opener reveal, QWidget* parent)
    : QWidget(parent),
      themes_(themes),
      recordings_(recordings),
      model_(engine, recorder, recordings),
      area_(new TakeAreaWidget(model_, themes, recordings, this)),
      folder_(new FolderButtonWidget(themes, this)) {
    setObjectName(QStringLiteral("main-recording-card"));
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    row->addWidget(area_);
    row->addSpacing(int(M::kDividerWidth));
    row->addWidget(folder_);
    setFixedHeight(int(Frame::kHeight));
    connect(folder_, &QAbstractButton::clicked, this, [reveal = std::move(reveal)] { RecordingFolder::reveal(reveal); });
    connect(&engine, &MixerEngine::isRecordingChanged, this, &MainRecordingCardWidget::follow);
    connect(&recordings, &LatestRecordingModel::infoChanged, this, &MainRecordingCardWidget::follow);
    connect(&recordings, &LatestRecordingModel::peaksChanged, this, &MainRecordingCardWidget::follow);
    connect(&themes, &ThemeController::themeChanged, this, &MainRecordingCardWidget::follow);
    follow();
}

MainRecordingCardWidget::~MainRecordingCardWidget() = default;

QWidget* MainRecordingCardWidget::latestArea() const { return area_; }

QAbstractButton* MainRecordingCardWidget::folderButton() const { return folder_; }

void MainRecordingCardWidget::follow() {
    const bool recording = model_.state() == MainRecordingCard::State::Clock;
    repeatWhile(recording, clock_, MainRecordingCard::kClockInterval, [this] { area_->follow(); });
    area_->follow();
    update();
}

QSize MainRecordingCardWidget::sizeHint() const { return {QWidget::sizeHint().width(), int(Frame::kHeight)}; }

void MainRecordingCardWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const Palette palette = themes_.palette();
    paintOutlinedFrame(painter, rect(),
                       RecordingCardLook::outline(model_.state() == MainRecordingCard::State::Clock,
                                                  RecordingCardLook::kAmber),
                       palette.elevated, Frame::kCornerRadius);
    const double x = area_->geometry().right() + 1;
    painter.fillRect(QRectF(x, 0, M::kDividerWidth, height()), palette.hair);
}

}  // namespace quellor
