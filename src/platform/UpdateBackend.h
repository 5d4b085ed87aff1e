#pragma once
// The update framework as the update controller uses it: it checks a feed for a newer version on
// a schedule or when asked, downloads and stages an update when automatic downloads are on, and
// installs a staged update when the program quits (or at once, when asked to). What it finds it
// reports to one delegate, in the order a cycle runs: found or not found, then staged, then the
// moment it needs the program to quit. A cycle that ends early is reported as aborted with an
// error domain and code; some codes are ordinary endings rather than failures (no update, an
// installation the user put off).
//
// Threads: main thread only; delegate calls arrive on the main thread, never from inside the call
// that started the cycle.
#include <QString>
#include <functional>
#include <optional>

namespace quellor {

struct UpdateError {
    QString domain;
    int code = 0;
    QString description;
};

// The domain of the update framework's own errors, and the codes it reports.
inline const QString kUpdateErrorDomain = QStringLiteral("com.larchfen.quellor.updates");
enum UpdateErrorCode : int {
    kUpdateFeedParseError = 1000,       // the feed does not describe an update
    kUpdateNoUpdateError = 1001,        // the check found nothing newer (an ordinary ending)
    kUpdateFeedError = 1002,            // no feed, or the feed cannot be read
    kUpdateDownloadError = 2001,        // the update could not be staged
    kUpdateInstallationCanceled = 4007,         // the user cancelled the installation
    kUpdateInstallationAuthorizeLater = 4008,   // the user chose to install later
};

class UpdateBackendDelegate {
public:
    virtual ~UpdateBackendDelegate() = default;
    // A check found version `version` newer than this one.
    virtual void updaterDidFindValidUpdate(const QString& version) = 0;
    // A check found nothing newer.
    virtual void updaterDidNotFindUpdate() = 0;
    // A cycle ended early.
    virtual void updaterDidAbort(const UpdateError& error) = 0;
    // `version` is downloaded and staged; it installs when the program quits, or at once through
    // `installNow` (which installs it after the program has quit and relaunches the program).
    virtual void updaterWillInstallUpdateOnQuit(const QString& version, std::function<void()> installNow) = 0;
    // The framework is about to install and needs the program to quit.
    virtual void updaterWillInstallUpdate() = 0;
    // The framework is about to relaunch the program into the update and needs it to quit.
    virtual void updaterWillRelaunchApplication() = 0;
    // The framework is about to show `version` in its own update window (a user-started check).
    virtual void userDriverWillShowUpdate(const QString& version) = 0;
};

class UpdateBackend {
public:
    virtual ~UpdateBackend() = default;

    // Not owned; set before start().
    virtual void setDelegate(UpdateBackendDelegate* delegate) = 0;

    virtual bool automaticallyChecksForUpdates() const = 0;
    virtual void setAutomaticallyChecksForUpdates(bool on) = 0;
    virtual bool automaticallyDownloadsUpdates() const = 0;
    virtual void setAutomaticallyDownloadsUpdates(bool on) = 0;

    // Starts the schedule of background checks. An error when the framework cannot run.
    virtual std::optional<UpdateError> start() = 0;
    // A check without the framework's own windows: results reach only the delegate, and with
    // automatic downloads a found update is downloaded and staged.
    virtual void checkForUpdatesInBackground() = 0;
    // A check that the framework presents in its own windows, letting the user install.
    virtual void checkForUpdates() = 0;
};

}  // namespace quellor
