#pragma once
// The general application commands of the settings panel: launch at login, the title of the update
// button, the support and terms pages, Copy Diagnostics, About and Quit. It holds the update
// controller and, weakly, the engine: once the engine is gone the diagnostics lose their engine
// lines and everything else goes on working.
//
// Launch at login keeps no copy of its own: the autostart entry is read each time, so a change
// that the system refused never shows as done.
//
// Threads: main thread only.
#include <QObject>
#include <QPointer>
#include <QString>
#include <QUrl>
#include <functional>

#include "app/Diagnostics.h"
#include "engine/MixerEngine.h"

namespace quellor {

class LaunchAtLogin;
class UpdateController;

class AppActions : public QObject {
    Q_OBJECT
public:
    static constexpr const char* kSupportPageAddress = "https://larchfen.com/quellor/support";
    static constexpr const char* kTermsPageAddress = "https://larchfen.com/quellor/terms";

    // How the commands reach the desktop; an empty function uses the running application's.
    struct Platform {
        LaunchAtLogin& launchAtLogin;
        std::function<int()> midiMappingCount;         // empty: 0
        std::function<void(const QUrl&)> openURL;      // the default browser
        std::function<void(const QString&)> copyText;  // the clipboard
        std::function<void()> showAboutPanel;
        std::function<void()> quit;                    // the ordinary quit
        std::function<SystemFacts()> systemFacts;      // the running system's
    };

    AppActions(UpdateController& updater, MixerEngine* engine, Platform platform, QObject* parent = nullptr);

    bool launchAtLoginEnabled() const;
    // Failures are not reported: the next read of launchAtLoginEnabled() tells what happened.
    void setLaunchAtLogin(bool enabled);
    QString updateMenuTitle() const;
    void openSupportPage();
    void openTermsPage();
    // Builds the diagnostics text and puts it on the clipboard.
    void copyDiagnostics();
    void showAbout();
    void quit();

    QString diagnostics() const;
    UpdateController& updater() const { return updater_; }

private:
    void openPage(const char* address);

    UpdateController& updater_;
    QPointer<MixerEngine> engine_;
    Platform platform_;
};

}  // namespace quellor
