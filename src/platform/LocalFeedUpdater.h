#pragma once
// The update framework of this system: a local update feed. The user default "updateFeedURL" holds
// a file: URL of a JSON file that names the newest version and its installer:
//
//   { "version": "2.1", "installer": "quellor-2.1-install.sh" }
//
// (the installer's path is taken relative to the feed's folder unless it is absolute or a file:
// URL). Without the default there are no scheduled checks, and a check the user asks for ends with
// a feed error. A version is newer when it compares greater, part by part as numbers, than the
// running one ("dev" is older than every version).
//
// Downloading copies the installer into "<staging root>/<version>/" and makes it executable. An
// installer staged by an earlier run that never installed it (the run was killed, or its installer
// could not start) is found again by start(), newer than the running version, and reported at once
// as found and staged, before any scheduled check.
// Installing runs the staged installer once the program has quit: finishAtQuit(), called as the
// program ends, hands it to a launcher that waits for the process to be gone, runs the installer
// from its folder and, when the install was asked for at once, starts the program again.
//
// Settings (user defaults): "SUEnableAutomaticChecks" (default true), "SUAutomaticallyUpdate"
// (automatic downloads, default false), "SUScheduledCheckInterval" (seconds between scheduled
// checks, default one day; the first comes shortly after start()).
//
// Threads: main thread only. Every result reaches the delegate posted through the scheduler.
#include <QString>
#include <functional>
#include <optional>

#include "base/Logger.h"
#include "base/Scheduler.h"
#include "base/UserDefaults.h"
#include "platform/UpdateBackend.h"

namespace quellor {

class LocalFeedUpdater : public UpdateBackend {
public:
    static constexpr const char* kFeedURLKey = "updateFeedURL";
    static constexpr const char* kAutomaticChecksKey = "SUEnableAutomaticChecks";
    static constexpr const char* kAutomaticDownloadsKey = "SUAutomaticallyUpdate";
    static constexpr const char* kCheckIntervalKey = "SUScheduledCheckInterval";
    static constexpr double kDefaultCheckInterval = 24 * 3600.0;
    static constexpr double kFirstCheckDelay = 2.0;

    // The framework's own windows for a check the user started with automatic downloads off.
    struct Windows {
        // Offers `version`; the reply is true when the user chose to install it now.
        std::function<void(const QString& version, std::function<void(bool install)> reply)> offerUpdate;
        std::function<void()> upToDate;
        std::function<void(const QString& text)> failed;
    };
    // What finishAtQuit() hands on: run `installer` from its folder once process `pid` is gone, then
    // start `relaunch` when set.
    struct PostQuitInstall {
        QString installer;
        qint64 pid = 0;
        std::optional<QString> relaunch;
    };
    using Launcher = std::function<bool(const PostQuitInstall&)>;

    struct Options {
        QString currentVersion;
        QString stagingRoot;  // "$XDG_DATA_HOME/Quellor/updates"
        Windows windows;
        Launcher launcher;    // empty: a detached shell does it
        QString executable;   // what a relaunch starts; empty: this process's executable
    };

    LocalFeedUpdater(UserDefaults& defaults, Options options);

    static QString standardStagingRoot();
    // Runs the installer through a detached shell that outlives this process.
    static bool launchDetached(const PostQuitInstall& install);

    void setDelegate(UpdateBackendDelegate* delegate) override { delegate_ = delegate; }
    bool automaticallyChecksForUpdates() const override;
    void setAutomaticallyChecksForUpdates(bool on) override;
    bool automaticallyDownloadsUpdates() const override;
    void setAutomaticallyDownloadsUpdates(bool on) override;
    std::optional<UpdateError> start() override;
    void checkForUpdatesInBackground() override;
    void checkForUpdates() override;

    // Hands a staged install to the launcher; false when none is staged or the launch failed.
    bool finishAtQuit();
    // The staged installer, once an update is downloaded.
    const std::optional<QString>& stagedInstaller() const { return stagedInstaller_; }

    // Newer than `current`, comparing numeric parts; an unparsable `candidate` is never newer.
    static bool isNewer(const QString& candidate, const QString& current);

private:
    struct FeedEntry {
        QString version;
        QString installer;
    };
    // The feed's entry, or the error that ends the cycle.
    std::optional<FeedEntry> readFeed(UpdateError& error) const;
    // Copies the installer into the staging folder; the staged path, or nothing with `error` set.
    std::optional<QString> stage(const FeedEntry& entry, UpdateError& error) const;
    void scheduledCheck();
    // The newest version under the staging root that is newer than this one, with its installer.
    std::optional<FeedEntry> stagedEarlier() const;
    // Reports `version`, staged at `installer`, as ready to install on quit.
    void reportStaged(const QString& version, const QString& installer);
    void deliver(std::function<void(UpdateBackendDelegate&)> call);

    UserDefaults& defaults_;
    Options options_;
    UpdateBackendDelegate* delegate_ = nullptr;
    std::optional<QString> stagedInstaller_;
    bool relaunchAfterInstall_ = false;
    bool started_ = false;
    TaskSlot firstCheck_;
    TaskSlot scheduledChecks_;
    Logger log_{QStringLiteral("updates")};
    Liveness alive_;
};

}  // namespace quellor
