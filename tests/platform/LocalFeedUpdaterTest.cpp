// The local update feed: what a check finds, what it stages, and what runs once the program quits.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QUrl>

#include "TestEnvironment.h"
#include "platform/LocalFeedUpdater.h"

using namespace quellor;

namespace {

class Recorder : public UpdateBackendDelegate {
public:
    QStringList events;
    std::function<void()> installNow;

    void updaterDidFindValidUpdate(const QString& v) override { events << "found " + v; }
    void updaterDidNotFindUpdate() override { events << "not found"; }
    void updaterDidAbort(const UpdateError& e) override { events << QString("aborted %1").arg(e.code); }
    void updaterWillInstallUpdateOnQuit(const QString& v, std::function<void()> now) override {
        events << "staged " + v;
        installNow = now;
    }
    void updaterWillInstallUpdate() override { events << "will install"; }
    void updaterWillRelaunchApplication() override { events << "will relaunch"; }
    void userDriverWillShowUpdate(const QString& v) override { events << "showing " + v; }
};

class LocalFeedUpdaterTest : public test::QuellorTest {
protected:
    LocalFeedUpdaterTest() {
        QFile installer(dir.filePath("feed/install.sh"));
        QDir().mkpath(dir.filePath("feed"));
        installer.open(QIODevice::WriteOnly);
        installer.write("#!/bin/sh\ntouch installed\n");
        installer.close();
    }
    void writeFeed(const QByteArray& json) {
        QFile feed(dir.filePath("feed/feed.json"));
        feed.open(QIODevice::WriteOnly);
        feed.write(json);
        feed.close();
        defaults().setString(LocalFeedUpdater::kFeedURLKey, QUrl::fromLocalFile(feed.fileName()).toString());
    }
    LocalFeedUpdater& updater() {
        if (!updater_) {
            LocalFeedUpdater::Windows windows{
                [this](const QString& v, std::function<void(bool)> reply) {
                    recorder.events << "offer " + v;
                    reply(acceptOffer);
                },
                [this] { recorder.events << "up to date window"; },
                [this](const QString&) { recorder.events << "error window"; }};
            updater_ = std::make_unique<LocalFeedUpdater>(
                defaults(), LocalFeedUpdater::Options{"2.0", dir.filePath("staging"), windows,
                                                      [this](const LocalFeedUpdater::PostQuitInstall& i) {
                                                          launched.push_back(i);
                                                          return true;
                                                      },
                                                      "/opt/quellor/quellor"});
            updater_->setDelegate(&recorder);
        }
        return *updater_;
    }
    QString staged(const QString& version) const { return dir.filePath("staging/" + version + "/install.sh"); }

    QTemporaryDir dir;
    Recorder recorder;
    bool acceptOffer = true;
    std::vector<LocalFeedUpdater::PostQuitInstall> launched;
    std::unique_ptr<LocalFeedUpdater> updater_;
};

TEST_F(LocalFeedUpdaterTest, AScheduledCheckStagesANewerVersionThatInstallsAfterQuit) {
    writeFeed(R"({"version": "2.1", "installer": "install.sh"})");
    updater().setAutomaticallyDownloadsUpdates(true);
    updater().start();
    advance(LocalFeedUpdater::kFirstCheckDelay - 0.5);
    EXPECT_TRUE(recorder.events.isEmpty());
    advance(0.5);
    EXPECT_EQ(recorder.events, (QStringList{"found 2.1", "staged 2.1"}));
    ASSERT_TRUE(QFileInfo(staged("2.1")).isFile());
    EXPECT_TRUE(QFileInfo(staged("2.1")).isExecutable());
    EXPECT_EQ(updater().stagedInstaller(), staged("2.1"));

    ASSERT_TRUE(updater().finishAtQuit());
    ASSERT_EQ(launched.size(), 1u);
    EXPECT_EQ(launched[0].installer, staged("2.1"));
    EXPECT_EQ(launched[0].pid, QCoreApplication::applicationPid());
    EXPECT_EQ(launched[0].relaunch, std::nullopt);
    EXPECT_FALSE(updater().finishAtQuit()) << "an update installs once";
}

TEST_F(LocalFeedUpdaterTest, AnUpdateStagedByAnEarlierRunIsReportedAtStart) {
    // What earlier runs left: the version running now, an older one, a folder without its
    // installer, and 2.1 staged but never installed (that run was killed).
    auto leave = [this](const QString& version, bool executable) {
        QDir().mkpath(dir.filePath("staging/" + version));
        QFile f(dir.filePath("staging/" + version + "/install.sh"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.close();
        if (executable) f.setPermissions(f.permissions() | QFileDevice::ExeOwner);
    };
    leave("2.0", true);
    leave("1.9", true);
    leave("2.3", false);
    leave("2.1", true);
    updater().start();
    EXPECT_TRUE(recorder.events.isEmpty()) << "reported on the next turn, before any check";
    advance(0);
    EXPECT_EQ(recorder.events, (QStringList{"found 2.1", "staged 2.1"}));
    EXPECT_EQ(updater().stagedInstaller(), staged("2.1"));
    ASSERT_TRUE(recorder.installNow);
    ASSERT_TRUE(updater().finishAtQuit());
    EXPECT_EQ(launched[0].installer, staged("2.1"));

    // Without it, nothing newer waits.
    QDir(dir.filePath("staging/2.1")).removeRecursively();
    updater_.reset();
    recorder.events.clear();
    updater().start();
    advance(0);
    EXPECT_TRUE(recorder.events.isEmpty());
}

TEST_F(LocalFeedUpdaterTest, InstallingAtOnceRelaunchesAfterTheInstall) {
    writeFeed(R"({"version": "2.1", "installer": "install.sh"})");
    updater().setAutomaticallyDownloadsUpdates(true);
    updater().checkForUpdatesInBackground();
    advance(0);
    ASSERT_TRUE(recorder.installNow);
    recorder.installNow();
    advance(0);
    EXPECT_EQ(recorder.events.last(), "will relaunch");
    ASSERT_TRUE(updater().finishAtQuit());
    EXPECT_EQ(launched[0].relaunch, "/opt/quellor/quellor");
}

TEST_F(LocalFeedUpdaterTest, WhatABackgroundCheckReports) {
    struct Case {
        const char* feed;  // nullptr: no feed set
        bool downloads;
        QStringList events;
    };
    const Case cases[] = {
        {nullptr, true, {"aborted 1002"}},
        {R"({"version": "2.0", "installer": "install.sh"})", true, {"not found", "aborted 1001"}},
        {R"({"version": "1.9.9", "installer": "install.sh"})", true, {"not found", "aborted 1001"}},
        {R"({"version": "2.0.1", "installer": "install.sh"})", false, {"found 2.0.1"}},
        {R"({"version": "2.1"})", true, {"aborted 1000"}},
        {"not json", true, {"aborted 1000"}},
        {R"({"version": "2.1", "installer": "missing.sh"})", true, {"found 2.1", "aborted 2001"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.feed ? c.feed : "no feed");
        updater_.reset();
        recorder.events.clear();
        defaults().remove(LocalFeedUpdater::kFeedURLKey);
        if (c.feed) writeFeed(c.feed);
        updater().setAutomaticallyDownloadsUpdates(c.downloads);
        updater().checkForUpdatesInBackground();
        advance(0);
        EXPECT_EQ(recorder.events, c.events);
        EXPECT_FALSE(updater().finishAtQuit());
    }
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("staging/2.0.1"))) << "nothing downloads unless automatic";
}

TEST_F(LocalFeedUpdaterTest, WithoutAFeedNothingIsCheckedOnSchedule) {
    updater().start();
    advance(LocalFeedUpdater::kDefaultCheckInterval * 2);
    EXPECT_TRUE(recorder.events.isEmpty());
}

TEST_F(LocalFeedUpdaterTest, AUserCheckOffersTheUpdateInItsOwnWindow) {
    writeFeed(R"({"version": "2.1", "installer": "install.sh"})");
    acceptOffer = false;
    updater().checkForUpdates();
    advance(0);
    EXPECT_EQ(recorder.events, (QStringList{"showing 2.1", "offer 2.1", "aborted 4008"}));
    EXPECT_FALSE(updater().finishAtQuit());

    recorder.events.clear();
    acceptOffer = true;
    updater().checkForUpdates();
    advance(0);
    EXPECT_EQ(recorder.events, (QStringList{"showing 2.1", "offer 2.1", "will install"}));
    ASSERT_TRUE(updater().finishAtQuit());
    EXPECT_EQ(launched[0].installer, staged("2.1"));
    EXPECT_EQ(launched[0].relaunch, "/opt/quellor/quellor");

    recorder.events.clear();
    writeFeed(R"({"version": "2.0", "installer": "install.sh"})");
    updater().checkForUpdates();
    advance(0);
    EXPECT_EQ(recorder.events, (QStringList{"up to date window", "not found", "aborted 1001"}));
}

TEST_F(LocalFeedUpdaterTest, VersionsCompareByNumbers) {
    struct Case {
        QString candidate, current;
        bool newer;
    };
    for (const Case& c : {Case{"2.10", "2.9", true}, Case{"2.1", "2.1.0", false}, Case{"3", "2.9.9", true},
                          Case{"0.1", "dev", true}, Case{"2.1-beta", "2.0", false}, Case{"", "2.0", false}}) {
        EXPECT_EQ(LocalFeedUpdater::isNewer(c.candidate, c.current), c.newer)
            << c.candidate.toStdString() << " vs " << c.current.toStdString();
    }
}

}  // namespace
