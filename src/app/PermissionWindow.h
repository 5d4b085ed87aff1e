#pragma once
// Explains a missing audio-capture permission once per run. The window appears the first time the
// engine's needsAudioCapturePermission is true (at once when it is true already at creation) and
// closes by itself when the flag turns false. After it was shown once it never comes back in the
// same run, whether the user dismissed it or the permission went missing again: the banner of the
// sources panel reports that.
//
// Every change of the flag is followed by one posted update(), which reads the flag as it is then:
// a quick run of changes loses nothing, and the last value decides.
//
// Threads: main thread only.
#include <QObject>
#include <QPointer>
#include <functional>

#include "app/PermissionWindowView.h"
#include "app/RetiredWindows.h"
#include "base/Logger.h"
#include "base/Scheduler.h"

namespace quellor {

class MixerEngine;
class ThemeController;

class PermissionWindow : public QObject {
    Q_OBJECT
public:
    PermissionWindow(MixerEngine& engine, ThemeController& themes, QObject* parent = nullptr);
    // Watches any flag: `flag` is read at creation and after every flagChanged().
    PermissionWindow(std::function<bool()> flag, ThemeController& themes, QObject* parent = nullptr);
    ~PermissionWindow() override;

    // The flag changed: update() runs on the next turn of the main thread.
    void flagChanged();
    // Shows or closes the window after the flag as it is now.
    void update();
    // Closes the window and lets it go ("Not Now", "Open Privacy Settings").
    void close();
    // Brings an open window back in front of the others (a window that came up after it).
    void bringToFront();

    QWidget* window() const { return window_; }
    bool shownThisLaunch() const { return shownThisLaunch_; }

private:
    void dropWindow();

    std::function<bool()> flag_;
    ThemeController& themes_;
    QPointer<QWidget> window_;
    RetiredWindows retired_;
    bool shownThisLaunch_ = false;
    Logger log_{QStringLiteral("Permission")};
    Liveness alive_;
};

}  // namespace quellor
