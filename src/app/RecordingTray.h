#pragma once
// The recording status item in the desktop's tray. Qt's tray icon speaks the StatusNotifierItem
// protocol over D-Bus where the panel hosts such items, and the older X embedding elsewhere; on a
// desktop with neither (a bare GNOME panel) nothing is shown and the window's own controls remain.
//
// The icon is the recording card: red outline and full dot while recording, the latest take's
// waveform once one is ready, a dim outline otherwise. Its menu:
//   "Recording — mm:ss"  only while recording, refreshed each time the menu opens (not clickable)
//   "Stop Recording"     enabled while recording; ends it through the status item
//   ---
//   "Show Quellor"       brings the main window back, as a click on the icon does
// The card's file drag has no counterpart: a tray icon is no drag source under either protocol.
//
// Threads: main thread only.
#include <QImage>
#include <QObject>
#include <QPointer>
#include <functional>
#include <memory>

class QAction;
class QMenu;
class QSystemTrayIcon;

namespace quellor {

class LatestRecordingModel;
class MenuBarExportCard;
class MixRecorder;
class MixerEngine;
class RecordingStatusItem;

class RecordingTray : public QObject {
    Q_OBJECT
public:
    static constexpr const char* kStopTitle = "Stop Recording";
    static constexpr const char* kShowTitle = "Show Quellor";

    // `showWindow` brings the main window back. The tray entry is made only when `withTray` and the
    // desktop has a tray; the menu and the icon exist either way.
    RecordingTray(RecordingStatusItem& item, MixerEngine& engine, const MixRecorder& recorder,
                  LatestRecordingModel& latest, std::function<void()> showWindow, bool withTray = true,
                  QObject* parent = nullptr);
    ~RecordingTray() override;

    QMenu& menu() { return *menu_; }
    QAction& elapsedAction() { return *elapsed_; }
    QAction& stopAction() { return *stop_; }
    // The icon's image as last drawn (the card at twice its size).
    const QImage& image() const { return image_; }
    // The tray entry, or none on a desktop without a tray.
    QSystemTrayIcon* trayIcon() const { return tray_; }

private:
    void refresh();

    RecordingStatusItem& item_;
    MixerEngine& engine_;
    LatestRecordingModel& latest_;
    std::function<void()> showWindow_;
    std::unique_ptr<QMenu> menu_;
    std::unique_ptr<MenuBarExportCard> card_;
    QAction* elapsed_;
    QAction* stop_;
    QImage image_;
    QSystemTrayIcon* tray_ = nullptr;
};

}  // namespace quellor
