#include "platform/LocalFeedUpdater.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QUrl>
#include <QVersionNumber>

#include "base/AtomicFile.h"

namespace quellor {

LocalFeedUpdater::LocalFeedUpdater(UserDefaults& defaults, Options options)
    : defaults_(defaults), options_(std::move(options)) {
    if (!options_.launcher) options_.launcher = &LocalFeedUpdater::launchDetached;
}

QString LocalFeedUpdater::standardStagingRoot() {
    QString base = qEnvironmentVariable("XDG_DATA_HOME");
    if (base.isEmpty() || QDir::isRelativePath(base)) base = QDir::homePath() + QStringLiteral("/.local/share");
    return base + QStringLiteral("/Quellor/updates");
}

bool LocalFeedUpdater::launchDetached(const PostQuitInstall& install) {
    // The shell outlives this process: it waits until the process is gone, so the installer never
    // replaces files that are still in use, then installs and, when asked, starts the program again.
    static const QString script = QStringLiteral(
        "while kill -0 \"$1\" 2>/dev/null; do sleep 0.1; done; "
        "\"$2\"; "
        "if [ -n \"$3\" ]; then exec \"$3\"; fi");
    QStringList arguments{QStringLiteral("-c"), script, QStringLiteral("quellor-update"), QString::number(install.pid),
                          install.installer, install.relaunch.value_or(QString())};
    return QProcess::startDetached(QStringLiteral("/bin/sh"), arguments, QFileInfo(install.installer).absolutePath());
}

bool LocalFeedUpdater::automaticallyChecksForUpdates() const { return defaults_.boolOr(kAutomaticChecksKey, true); }

void LocalFeedUpdater::setAutomaticallyChecksForUpdates(bool on) {
    defaults_.setBool(kAutomaticChecksKey, on);
    if (!started_) return;
    if (!on) {
        firstCheck_.cancel();
        scheduledChecks_.cancel();
    } else if (!scheduledChecks_.pending()) {
        const double interval = std::max(60.0, defaults_.doubleOr(kCheckIntervalKey, kDefaultCheckInterval));
        scheduledChecks_.set(Scheduler::current().every(interval, alive_.guard([this] { scheduledCheck(); })));
    }
}

bool LocalFeedUpdater::automaticallyDownloadsUpdates() const { return defaults_.boolOr(kAutomaticDownloadsKey, false); }

void LocalFeedUpdater::setAutomaticallyDownloadsUpdates(bool on) { defaults_.setBool(kAutomaticDownloadsKey, on); }

std::optional<UpdateError> LocalFeedUpdater::start() {
    if (started_) return std::nullopt;
    started_ = true;
    if (const auto earlier = stagedEarlier()) {
        log_.notice("An update staged earlier waits to install: %s", qPrintable(earlier->installer));
        const QString version = earlier->version;
        deliver([version](UpdateBackendDelegate& d) { d.updaterDidFindValidUpdate(version); });
        reportStaged(version, earlier->installer);
    }
    if (!automaticallyChecksForUpdates()) return std::nullopt;
    const double interval = std::max(60.0, defaults_.doubleOr(kCheckIntervalKey, kDefaultCheckInterval));
    firstCheck_.set(Scheduler::current().after(kFirstCheckDelay, alive_.guard([this] {
        firstCheck_.clear();
        scheduledCheck();
    })));
    scheduledChecks_.set(Scheduler::current().every(interval, alive_.guard([this] { scheduledCheck(); })));
    return std::nullopt;
}

void LocalFeedUpdater::scheduledCheck() {
    // Without a feed there is nothing to check on a schedule.
    if (!defaults_.stringValue(kFeedURLKey) || !automaticallyChecksForUpdates()) return;
    checkForUpdatesInBackground();
}

bool LocalFeedUpdater::isNewer(const QString& candidate, const QString& current) {
    qsizetype end = 0;
    const QVersionNumber next = QVersionNumber::fromString(candidate, &end);
    if (next.isNull() || end != candidate.size()) return false;
    qsizetype currentEnd = 0;
    const QVersionNumber running = QVersionNumber::fromString(current, &currentEnd);
    if (running.isNull() || currentEnd != current.size()) return true;
    return QVersionNumber::compare(next, running) > 0;
}

std::optional<LocalFeedUpdater::FeedEntry> LocalFeedUpdater::readFeed(UpdateError& error) const {
    error = UpdateError{kUpdateErrorDomain, kUpdateFeedError, {}};
    const auto address = defaults_.stringValue(kFeedURLKey);
    if (!address) {
        error.description = QStringLiteral("No update feed is set");
        return std::nullopt;
    }
    const QUrl url(*address);
    if (!url.isValid() || !url.isLocalFile()) {
        error.description = QStringLiteral("The update feed %1 is not a file: URL").arg(*address);
        return std::nullopt;
    }
    const QString path = url.toLocalFile();
    QByteArray bytes;
    QString reason;
    if (!readWholeFile(path, bytes, &reason)) {
        error.description = QStringLiteral("The update feed cannot be read: %1").arg(reason);
        return std::nullopt;
    }
    error.code = kUpdateFeedParseError;
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &parseError);
    const QJsonObject object = document.object();
    const QString version = object.value(QStringLiteral("version")).toString();
    QString installer = object.value(QStringLiteral("installer")).toString();
    if (!document.isObject() || version.isEmpty() || installer.isEmpty()) {
        error.description = QStringLiteral("The update feed %1 names no version and installer").arg(path);
        return std::nullopt;
    }
    if (installer.startsWith(QLatin1String("file:"))) installer = QUrl(installer).toLocalFile();
    if (QDir::isRelativePath(installer)) installer = QFileInfo(path).dir().absoluteFilePath(installer);
    return FeedEntry{version, installer};
}

std::optional<QString> LocalFeedUpdater::stage(const FeedEntry& entry, UpdateError& error) const {
    error = UpdateError{kUpdateErrorDomain, kUpdateDownloadError, {}};
    // A version string becomes one folder name, whatever it holds.
    QString folderName = entry.version;
    folderName.replace(QLatin1Char('/'), QLatin1Char('_'));
    const QString folder = options_.stagingRoot + QLatin1Char('/') + folderName;
    const QString target = folder + QLatin1Char('/') + QFileInfo(entry.installer).fileName();
    if (!QDir().mkpath(folder)) {
        error.description = QStringLiteral("Cannot make the folder %1").arg(folder);
        return std::nullopt;
    }
    if (QFileInfo::exists(target) && !QFile::remove(target)) {
        error.description = QStringLiteral("Cannot replace %1").arg(target);
        return std::nullopt;
    }
    QFile source(entry.installer);
    if (!source.copy(target)) {
        error.description = QStringLiteral("Cannot copy the installer %1: %2").arg(entry.installer, source.errorString());
        return std::nullopt;
    }
    QFile::setPermissions(target, QFile::permissions(target) | QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    return target;
}

void LocalFeedUpdater::deliver(std::function<void(UpdateBackendDelegate&)> call) {
    Scheduler::current().post(alive_.guard([this, call = std::move(call)] {
        if (delegate_) call(*delegate_);
    }));
}

void LocalFeedUpdater::checkForUpdatesInBackground() {
    UpdateError error;
    const auto entry = readFeed(error);
    if (!entry) {
        deliver([error](UpdateBackendDelegate& d) { d.updaterDidAbort(error); });
        return;
    }
    if (!isNewer(entry->version, options_.currentVersion)) {
        deliver([](UpdateBackendDelegate& d) {
            d.updaterDidNotFindUpdate();
            d.updaterDidAbort({kUpdateErrorDomain, kUpdateNoUpdateError, QStringLiteral("No update was found")});
        });
        return;
    }
    const QString version = entry->version;
    deliver([version](UpdateBackendDelegate& d) { d.updaterDidFindValidUpdate(version); });
    if (!automaticallyDownloadsUpdates()) return;
    // The download: its own turn of the event loop, after the report of the find.
    Scheduler::current().post(alive_.guard([this, entry = *entry] {
        UpdateError stageError;
        const auto staged = stage(entry, stageError);
        if (!staged) {
            deliver([stageError](UpdateBackendDelegate& d) { d.updaterDidAbort(stageError); });
            return;
        }
        reportStaged(entry.version, *staged);
    }));
}

void LocalFeedUpdater::reportStaged(const QString& version, const QString& installer) {
    stagedInstaller_ = installer;
    relaunchAfterInstall_ = false;
    auto installNow = alive_.guard([this] {
        relaunchAfterInstall_ = true;
        deliver([](UpdateBackendDelegate& d) { d.updaterWillRelaunchApplication(); });
    });
    deliver([version, installNow](UpdateBackendDelegate& d) { d.updaterWillInstallUpdateOnQuit(version, installNow); });
}

std::optional<LocalFeedUpdater::FeedEntry> LocalFeedUpdater::stagedEarlier() const {
    std::optional<FeedEntry> newest;
    const QDir root(options_.stagingRoot);
    for (const QString& version : root.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        if (!isNewer(version, options_.currentVersion)) continue;
        if (newest && !isNewer(version, newest->version)) continue;
        // The one executable file that staging put there.
        const QFileInfoList files = QDir(root.filePath(version)).entryInfoList(QDir::Files | QDir::Executable, QDir::Time);
        if (files.isEmpty()) continue;
        newest = FeedEntry{version, files.front().absoluteFilePath()};
    }
    return newest;
}

void LocalFeedUpdater::checkForUpdates() {
    UpdateError error;
    const auto entry = readFeed(error);
    const Windows& windows = options_.windows;
    if (!entry) {
        if (windows.failed) windows.failed(error.description);
        deliver([error](UpdateBackendDelegate& d) { d.updaterDidAbort(error); });
        return;
    }
    if (!isNewer(entry->version, options_.currentVersion)) {
        if (windows.upToDate) windows.upToDate();
        deliver([](UpdateBackendDelegate& d) {
            d.updaterDidNotFindUpdate();
            d.updaterDidAbort({kUpdateErrorDomain, kUpdateNoUpdateError, QStringLiteral("No update was found")});
        });
        return;
    }
    deliver([this, entry = *entry](UpdateBackendDelegate& d) {
        d.userDriverWillShowUpdate(entry.version);
        if (!options_.windows.offerUpdate) return;
        options_.windows.offerUpdate(entry.version, alive_.guard([this, entry](bool install) {
            if (!install) {
                deliver([](UpdateBackendDelegate& d) {
                    d.updaterDidAbort({kUpdateErrorDomain, kUpdateInstallationAuthorizeLater,
                                       QStringLiteral("The update was put off")});
                });
                return;
            }
            UpdateError stageError;
            const auto staged = stage(entry, stageError);
            if (!staged) {
                if (options_.windows.failed) options_.windows.failed(stageError.description);
                deliver([stageError](UpdateBackendDelegate& d) { d.updaterDidAbort(stageError); });
                return;
            }
            stagedInstaller_ = *staged;
            relaunchAfterInstall_ = true;
            deliver([](UpdateBackendDelegate& d) { d.updaterWillInstallUpdate(); });
        }));
    });
}

bool LocalFeedUpdater::finishAtQuit() {
    if (!stagedInstaller_) return false;
    PostQuitInstall install;
    install.installer = *stagedInstaller_;
    install.pid = QCoreApplication::applicationPid();
    if (relaunchAfterInstall_) {
        install.relaunch = options_.executable.isEmpty() ? QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget()
                                                         : options_.executable;
    }
    log_.notice("Installing the staged update with %s once Quellor has quit", qPrintable(install.installer));
    const bool launched = options_.launcher(install);
    if (!launched) log_.error("Cannot start the update installer %s", qPrintable(install.installer));
    stagedInstaller_.reset();
    return launched;
}

}  // namespace quellor
