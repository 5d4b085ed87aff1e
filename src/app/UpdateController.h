#pragma once
// Drives software updates through the update framework (UpdateBackend) and turns what it reports
// into two observable facts: a version that is available, and a version that is downloaded and
// staged for installation. Every update control reads them (menuTitle, the settings button, the
// startup screen, the update banner) and checkForUpdates() is the one action behind them all.
//
// When to restart into a staged update is its characteristic decision: at once and without a
// word when nothing would be disturbed (the application is in the background and the default
// output device is idle); otherwise it asks once per version if the application is in front, and
// watches for the moment a silent restart becomes possible (leaving the application, the output
// stopping, the default output changing, a retry every 15 s) until the user answers "Restart
// Later". Quitting for an update sets isQuittingForUpdate(), and the application then skips the
// engine's shutdown.
//
// Threads: main thread only. Every callback, listener and delayed step holds the controller
// weakly and does nothing once it is gone.
#include <QObject>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

#include "app/AppNotifier.h"
#include "app/UpdateHost.h"
#include "base/Logger.h"
#include "base/Scheduler.h"
#include "base/UserDefaults.h"
#include "platform/UpdateBackend.h"

namespace quellor {

class HALListener;

class UpdateController : public QObject, private UpdateBackendDelegate {
    Q_OBJECT
public:
    static constexpr const char* kAutomaticDownloadsKey = "SUAutomaticallyUpdate";
    static constexpr double kRetryInterval = 15.0;
    static constexpr double kRelaunchDelay = 0.35;
    static constexpr double kRestartTerminateInterval = 0.6;
    static constexpr int kRestartTerminateRequests = 6;
    static constexpr double kInstallTerminateInterval = 0.5;
    static constexpr int kInstallTerminateRequests = 8;

    // Configures and starts the framework: automatic checks on every start, automatic downloads on
    // unless the user has chosen ("SUAutomaticallyUpdate" stored). A framework that cannot start is
    // left alone without a word.
    UpdateController(UpdateBackend& backend, UpdateHost& host, AppNotifier& notifier, UserDefaults& defaults,
                     QObject* parent = nullptr);
    ~UpdateController() override;

    const std::optional<QString>& availableVersion() const { return availableVersion_; }
    const std::optional<QString>& stagedVersion() const { return stagedVersion_; }
    QString menuTitle() const;

    // The user's update action: restarts into a staged update at once; otherwise a check, in the
    // background with this program's own alerts when downloads are automatic, else in the
    // framework's own windows.
    void checkForUpdates();

    bool automaticallyDownloadsUpdates() const { return backend_.automaticallyDownloadsUpdates(); }
    void setAutomaticallyDownloadsUpdates(bool on) { backend_.setAutomaticallyDownloadsUpdates(on); }

    // Set when the application commits to quitting for an update; never reset.
    bool isQuittingForUpdate() const { return quittingForUpdate_; }

    // While held (the startup screen greets the user), a staged update neither restarts by itself
    // nor asks; on release it asks then, once, if the application is in front, and the watchers
    // may restart it from then on.
    void holdRestart();
    void releaseRestart();

signals:
    void availableVersionChanged();
    void stagedVersionChanged();

private:
    // The framework's reports.
    void updaterDidFindValidUpdate(const QString& version) override;
    void updaterDidNotFindUpdate() override;
    void updaterDidAbort(const UpdateError& error) override;
    void updaterWillInstallUpdateOnQuit(const QString& version, std::function<void()> installNow) override;
    void updaterWillInstallUpdate() override;
    void updaterWillRelaunchApplication() override;
    void userDriverWillShowUpdate(const QString& version) override;

    void updateFound(const QString& version);
    void upToDate();
    void updateStaged(const QString& version, std::function<void()> installNow);
    bool tryRestartSilently();
    static bool isDefaultOutputRunning();
    void armStagedInstall();
    void watchOutputRunning();
    void promptRestart(const QString& version);
    void showInfoAlert(const QString& message, const QString& informativeText);
    void restartNow();
    void disarmStagedInstall();
    void prepareForUpdateTermination();
    // Runs `work` on a later turn of the main thread while the controller lives.
    void later(std::function<void()> work);
    void setAvailableVersion(std::optional<QString> version);
    void setStagedVersion(std::optional<QString> version);

    UpdateBackend& backend_;
    UpdateHost& host_;
    AppNotifier& notifier_;
    std::optional<QString> availableVersion_;
    std::optional<QString> stagedVersion_;
    std::function<void()> relaunchHandler_;
    bool restartDeferred_ = false;
    std::optional<QString> promptedVersion_;
    QMetaObject::Connection resignObserver_;
    std::unique_ptr<HALListener> runningListener_;
    std::unique_ptr<HALListener> defaultDeviceListener_;
    TaskSlot retryTask_;
    bool manualCheck_ = false;
    bool quittingForUpdate_ = false;
    bool restartHeld_ = false;
    std::optional<QString> heldPrompt_;  // the version whose question waits for the release
    Logger log_{QStringLiteral("updates")};
    Liveness alive_;
};

}  // namespace quellor
