#include "app/RecordingTray.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QPainter>
#include <QPalette>
#include <QPixmap>
#include <QSystemTrayIcon>

#include "app/MenuBarExportCard.h"
#include "app/ShellMetrics.h"
#include "app/RecordingStatusItem.h"
#include "engine/MixerEngine.h"
#include "recording/MixRecorder.h"
#include "ui/settings/LatestRecordingModel.h"

namespace quellor {

namespace {
// Panels are dark far more often than light: the card's ink follows the panel's usual dark, not
// the window theme, which says nothing about the panel.
constexpr bool kDarkPanel = true;
constexpr int kImageScale = 2;
}  // namespace

RecordingTray::RecordingTray(RecordingStatusItem& item, MixerEngine& engine, const MixRecorder& recorder,
                             LatestRecordingModel& latest, std::function<void()> showWindow, bool withTray,
                             QObject* parent)
    : QObject(parent),
      item_(item),
      engine_(engine),
      latest_(latest),
      showWindow_(std::move(showWindow)),
      menu_(std::make_unique<QMenu>()),
      card_(std::make_unique<MenuBarExportCard>()) {
    menu_->setObjectName(QStringLiteral("recording-tray-menu"));
    elapsed_ = menu_->addAction(RecordingStatusItem::elapsedTitle(0, 1));
    elapsed_->setData(RecordingStatusItem::kElapsedTimeTag);
    elapsed_->setEnabled(false);
    stop_ = menu_->addAction(QString::fromLatin1(kStopTitle));
    connect(stop_, &QAction::triggered, this, [this] { item_.stopRecording(); });
    menu_->addSeparator();
    QAction* show = menu_->addAction(QString::fromLatin1(kShowTitle));
    connect(show, &QAction::triggered, this, [this] { showWindow_(); });
    RecordingStatusItem::refreshOnOpen(*menu_, recorder);

    connect(&engine_, &MixerEngine::isRecordingChanged, this, &RecordingTray::refresh);
    connect(&latest_, &LatestRecordingModel::infoChanged, this, &RecordingTray::refresh);
    connect(&latest_, &LatestRecordingModel::peaksChanged, this, &RecordingTray::refresh);
    if (withTray && QSystemTrayIcon::isSystemTrayAvailable()) {
        tray_ = new QSystemTrayIcon(this);
        tray_->setContextMenu(menu_.get());
        connect(tray_, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
            if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::DoubleClick) showWindow_();
        });
    }
    refresh();
    if (tray_) tray_->show();
}

RecordingTray::~RecordingTray() {
    // The tray entry goes before the menu it shows.
    delete tray_;
}

void RecordingTray::refresh() {
    const bool recording = engine_.isRecording();
    elapsed_->setVisible(recording);
    stop_->setEnabled(recording);

    MenuBarCardView& view = card_->view();
    view.isRecording = recording;
    view.readyFile.reset();
    if (latest_.info()) view.readyFile = latest_.info()->file;
    view.peaks = latest_.peaks();
    const QSize size(int(ShellMetrics::MenuBarCard::kWidth), int(ShellMetrics::MenuBarCard::kHeight));
    image_ = QImage(size * kImageScale, QImage::Format_ARGB32_Premultiplied);
    image_.setDevicePixelRatio(kImageScale);
    image_.fill(Qt::transparent);
    {
        QPainter painter(&image_);
        view.drawCard(painter, QSizeF(size), card::colours(kDarkPanel));
    }
    if (!tray_) return;
    tray_->setIcon(QIcon(QPixmap::fromImage(image_)));
    tray_->setToolTip(recording ? QStringLiteral("Quellor — recording") : QStringLiteral("Quellor"));
}

}  // namespace quellor
