#include "ui/settings/RecCardWidget.h"

#include <QFileDialog>
#include <QGraphicsOpacityEffect>
#include <QHBoxLayout>
#include <QMenu>
#include <QPainter>

#include "base/UserDefaults.h"
#include "engine/MixerEngine.h"
#include "recording/RecordingFolder.h"
#include "ui/console/SlideSwitchWidget.h"
#include "ui/settings/LatestRecordingModel.h"
#include "ui/settings/RecBallWidget.h"
#include "ui/settings/RecordingCardLook.h"
#include "ui/settings/RepeatWhile.h"
#include "ui/settings/SettingsMetrics.h"
#include "ui/settings/SettingsStyle.h"
#include "ui/style/ThemeController.h"

namespace quellor {

using Frame = SettingsMetrics::RecordingCard;
using M = SettingsMetrics::RecCard;

std::optional<QString> chooseRecordingFolder(QWidget* parent) {
    return RecordingFolder::choose([parent]() -> std::optional<QString> {
        QFileDialog dialog(parent, QString::fromUtf8(RecordingFolder::kChooserMessage));
        dialog.setFileMode(QFileDialog::Directory);
        dialog.setOption(QFileDialog::ShowDirsOnly);
        dialog.setLabelText(QFileDialog::Accept, QString::fromUtf8(RecordingFolder::kChooserPrompt));
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
        return dialog.selectedFiles().front();
    });
}

RecCardWidget::RecCardWidget(MixerEngine& engine, MIDIMappingManager* midi, UserDefaults& defaults,
                             LatestRecordingModel& recordings, ThemeController& themes, bool compact,
                             RecCard::FolderChooser chooseFolder, QWidget* parent)
    : QWidget(parent),
      themes_(themes),
      model_(engine, midi, defaults, recordings,
             chooseFolder ? std::move(chooseFolder) : RecCard::FolderChooser([this] { return chooseRecordingFolder(this); })),
      ball_(new RecBallWidget(model_, this)) {
    setObjectName(QStringLiteral("rec-card"));
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(int(M::kSpacing));
    row->addWidget(ball_, 0, Qt::AlignVCenter);
    if (!compact) {
        switch_ = new SlideSwitchWidget(themes, model_.sourceSwitch(themes.palette()), this);
        switch_->setGraphicsEffect(new QGraphicsOpacityEffect(switch_));
        row->addWidget(switch_, 0, Qt::AlignVCenter);
        row->addSpacing(int(M::kSwitchTrailing));
    }
    setFixedHeight(int(Frame::kHeight));
    connect(ball_, &QAbstractButton::clicked, this, [this] { model_.pressBall(); });
    connect(ball_, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        QMenu menu(this);
        populateMenu(menu, model_.ballMenu());
        menu.exec(ball_->mapToGlobal(at));
    });
    connect(&engine, &MixerEngine::isRecordingChanged, this, &RecCardWidget::follow);
    connect(&defaults, &UserDefaults::changed, this, [this](const QString& key) {
        if (key == RecCard::kRecordPreFaderKey) follow();
    });
    connect(&themes, &ThemeController::themeChanged, this, &RecCardWidget::follow);
    follow();
}

RecCardWidget::~RecCardWidget() = default;

QAbstractButton* RecCardWidget::ball() const { return ball_; }

void RecCardWidget::follow() {
    const bool recording = model_.isRecording();
    ball_->setAccessibleName(model_.ballLabel());
    ball_->setToolTip(model_.ballHelp());
    if (switch_) {
        switch_->setOptions(model_.sourceSwitch(themes_.palette()));
        switch_->setEnabled(model_.sourceSwitchEnabled());
        static_cast<QGraphicsOpacityEffect*>(switch_->graphicsEffect())->setOpacity(model_.sourceSwitchOpacity());
    }
    // The ball pulses only while a take runs; at rest nothing is redrawn.
    repeatWhile(recording, pulse_, RecCard::kPulseFrameSeconds, [ball = ball_] { ball->update(); });
    ball_->update();
    update();
}

QSize RecCardWidget::sizeHint() const { return {QWidget::sizeHint().width(), int(Frame::kHeight)}; }

void RecCardWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const Palette palette = themes_.palette();
    paintOutlinedFrame(painter, rect(), RecordingCardLook::outline(model_.isRecording(), palette.hair), palette.elevated,
                       Frame::kCornerRadius);
}

}  // namespace quellor
