#include "app/UpdateController.h"

#include <QPointer>
#include <utility>

#include "app/UpdateWording.h"
#include "audio/HALListener.h"
#include "audio/HALProperties.h"

namespace quellor {

UpdateController::UpdateController(UpdateBackend& backend, UpdateHost& host, AppNotifier& notifier,
                                   UserDefaults& defaults, QObject* parent)
    : QObject(parent), backend_(backend), host_(host), notifier_(notifier) {
    backend_.setDelegate(this);
    backend_.setAutomaticallyChecksForUpdates(true);
    // Downloads are automatic until the user chooses otherwise; a stored choice is theirs.
    if (!defaults.contains(kAutomaticDownloadsKey)) backend_.setAutomaticallyDownloadsUpdates(true);
    // A framework that cannot start only means no updates this run.
    (void)backend_.start();
}

UpdateController::~UpdateController() {
    backend_.setDelegate(nullptr);
    disarmStagedInstall();
}

QString UpdateController::menuTitle() const { return updateMenuTitle(stagedVersion_, availableVersion_); }

void UpdateController::later(std::function<void()> work) { Scheduler::current().post(alive_.guard(std::move(work))); }

void UpdateController::setAvailableVersion(std::optional<QString> version) {
    if (availableVersion_ == version) return;
    availableVersion_ = std::move(version);
    emit availableVersionChanged();
}

void UpdateController::setStagedVersion(std::optional<QString> version) {
    if (stagedVersion_ == version) return;
    stagedVersion_ = std::move(version);
    emit stagedVersionChanged();
}

void UpdateController::checkForUpdates() {
    if (relaunchHandler_) {
        restartNow();
        return;
    }
    if (backend_.automaticallyDownloadsUpdates()) {
        // The user asked: the next report gets an alert, and a new version may be asked about anew.
        manualCheck_ = true;
        promptedVersion_.reset();
        restartDeferred_ = false;
        backend_.checkForUpdatesInBackground();
        return;
    }
    backend_.checkForUpdates();
}

// --- The framework's reports ---------------------------------------------------------------

void UpdateController::updaterDidFindValidUpdate(const QString& version) { updateFound(version); }

void UpdateController::userDriverWillShowUpdate(const QString& version) { updateFound(version); }

void UpdateController::updaterDidNotFindUpdate() { upToDate(); }

void UpdateController::updaterDidAbort(const UpdateError& error) {
    const bool ordinaryEnding = error.domain == kUpdateErrorDomain &&
                                (error.code == kUpdateNoUpdateError || error.code == kUpdateInstallationCanceled ||
                                 error.code == kUpdateInstallationAuthorizeLater);
    if (ordinaryEnding) return;
    log_.error("update cycle failed: %s", qPrintable(error.description));
}

void UpdateController::updaterWillInstallUpdateOnQuit(const QString& version, std::function<void()> installNow) {
    updateStaged(version, std::move(installNow));
}

void UpdateController::updaterWillInstallUpdate() { prepareForUpdateTermination(); }

void UpdateController::updaterWillRelaunchApplication() { prepareForUpdateTermination(); }

void UpdateController::updateFound(const QString& version) {
    log_.info("update available: %s", qPrintable(version));
    setAvailableVersion(version);
    if (manualCheck_) {
        manualCheck_ = false;
        showInfoAlert(QStringLiteral("Quellor ") + version + QStringLiteral(" is downloading"),
                      QStringLiteral("You will be asked when it is ready to install."));
    }
}

void UpdateController::upToDate() {
    log_.info("up to date");
    setAvailableVersion(std::nullopt);
    if (manualCheck_) {
        manualCheck_ = false;
        showInfoAlert(QStringLiteral("Quellor is up to date"), QStringLiteral("You have the newest version."));
    }
}

// --- Staged updates ---------------------------------------------------------------------------

void UpdateController::updateStaged(const QString& version, std::function<void()> installNow) {
    log_.info("update staged: %s", qPrintable(version));
    relaunchHandler_ = std::move(installNow);
    setStagedVersion(version);
    if (tryRestartSilently()) return;
    armStagedInstall();
    // In the background nobody is asked, then or later: the menu item and the banner offer it.
    // While the startup screen greets, the question waits for it to close.
    if (restartHeld_) heldPrompt_ = version;
    else if (host_.isActive()) promptRestart(version);
}

void UpdateController::holdRestart() { restartHeld_ = true; }

void UpdateController::releaseRestart() {
    if (!restartHeld_) return;
    restartHeld_ = false;
    const std::optional<QString> asked = std::exchange(heldPrompt_, std::nullopt);
    if (!relaunchHandler_ || quittingForUpdate_ || tryRestartSilently()) return;
    if (asked && asked == stagedVersion_ && host_.isActive()) promptRestart(*asked);
}

bool UpdateController::tryRestartSilently() {
    if (!relaunchHandler_ || quittingForUpdate_ || restartDeferred_ || restartHeld_ || host_.isActive() ||
        isDefaultOutputRunning())
        return false;
    restartNow();
    return true;
}

bool UpdateController::isDefaultOutputRunning() {
    std::uint32_t device = 0;
    try {
        readHALProperty32(hal::kDefaultOutputDevice, hal::kScopeGlobal, device, hal::kSystemObject);
    } catch (const HALError&) {
        return false;
    }
    std::uint32_t running = 0;
    try {
        readHALProperty32(hal::kDeviceIsRunningSomewhere, hal::kScopeGlobal, running, device);
    } catch (const HALError&) {
        running = 0;
    }
    return running != 0;
}

void UpdateController::armStagedInstall() {
    if (!resignObserver_) {
        resignObserver_ = connect(&host_, &UpdateHost::didResignActive, this, [this] { later([this] { tryRestartSilently(); }); });
    }
    watchOutputRunning();
    defaultDeviceListener_ = std::make_unique<HALListener>(
        hal::kSystemObject, PropertyAddress{hal::kDefaultOutputDevice, hal::kScopeGlobal, 0},
        [this, weak = alive_.weak()](std::uint32_t, const PropertyAddress*) {
            if (!weak.lock()) return;
            later([this] {
                watchOutputRunning();
                tryRestartSilently();
            });
        });
    if (!retryTask_.pending()) {
        retryTask_.set(Scheduler::current().every(kRetryInterval, alive_.guard([this] { tryRestartSilently(); })));
    }
}

void UpdateController::watchOutputRunning() {
    std::uint32_t device = 0;
    try {
        readHALProperty32(hal::kDefaultOutputDevice, hal::kScopeGlobal, device, hal::kSystemObject);
    } catch (const HALError&) {
        runningListener_.reset();
        return;
    }
    runningListener_ = std::make_unique<HALListener>(
        device, PropertyAddress{hal::kDeviceIsRunningSomewhere, hal::kScopeGlobal, 0},
        [this, weak = alive_.weak()](std::uint32_t, const PropertyAddress*) {
            if (!weak.lock()) return;
            later([this] { tryRestartSilently(); });
        });
}

void UpdateController::promptRestart(const QString& version) {
    // Once per version: only a check the user starts (with automatic downloads) asks anew.
    if (promptedVersion_ == version) return;
    promptedVersion_ = version;
    UpdateHost::Alert alert{QStringLiteral("Quellor ") + version + QStringLiteral(" is ready"),
                            QStringLiteral("Restart now to finish updating, or restart later. The update also "
                                           "installs when you quit Quellor."),
                            {QStringLiteral("Restart Now"), QStringLiteral("Restart Later")}};
    host_.presentAlert(alert, alive_.guard([this](int button) {
        if (button == 0) restartNow();
        else restartDeferred_ = true;
    }));
}

void UpdateController::showInfoAlert(const QString& message, const QString& informativeText) {
    host_.presentAlert({message, informativeText, {QStringLiteral("OK")}}, {});
}

void UpdateController::disarmStagedInstall() {
    if (resignObserver_) disconnect(resignObserver_);
    resignObserver_ = {};
    runningListener_.reset();
    defaultDeviceListener_.reset();
    retryTask_.cancel();
}

void UpdateController::restartNow() {
    quittingForUpdate_ = true;
    disarmStagedInstall();
    notifier_.post(AppNotification::DismissSheets);
    QPointer<UpdateHost> host(&host_);
    Scheduler::current().after(kRelaunchDelay, [this, weak = alive_.weak(), host] {
        if (weak.lock() && relaunchHandler_) relaunchHandler_();
        // However the relaunch went, the program now quits; repeated requests outlast anything
        // that turns one down (an open modal dialog).
        for (int i = 1; i <= kRestartTerminateRequests; ++i) {
            Scheduler::current().after(i * kRestartTerminateInterval, [host] {
                if (host) host->requestTermination();
            });
        }
    });
}

void UpdateController::prepareForUpdateTermination() {
    // The framework installs now and needs the program gone; the watchers stay, but every silent
    // restart is refused from here on.
    quittingForUpdate_ = true;
    notifier_.post(AppNotification::DismissSheets);
    host_.endAttachedSheets();
    QPointer<UpdateHost> host(&host_);
    for (int i = 1; i <= kInstallTerminateRequests; ++i) {
        Scheduler::current().after(i * kInstallTerminateInterval, [host] {
            if (host) host->requestTermination();
        });
    }
}

}  // namespace quellor
