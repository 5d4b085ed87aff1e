// Updates from a local feed: a newer version is staged in the background and its installer runs
// once the program has quit.
#include <gtest/gtest.h>

#include <QDeadlineTimer>
#include <QDir>
#include <QThread>
#include <QFile>
#include <QFileInfo>
#include <QUrl>
#include <csignal>

#include "QuellorProcess.h"
#include "platform/SimulatedWorld.h"

namespace quellor::test {
namespace {

TEST(Update, AStagedUpdateInstallsAfterQuit) {
    QuellorProcess app;
    const QString feedFolder = app.homePath() + "/feed";
    QDir().mkpath(feedFolder);
    const QString marker = app.homePath() + "/installed";
    // The installer notes the folder it runs in.
    QFile installer(feedFolder + "/install-99.0.sh");
    ASSERT_TRUE(installer.open(QIODevice::WriteOnly));
    installer.write(QString("#!/bin/sh\necho \"$PWD\" > '%1'\n")
                        .arg(marker)
                        .toUtf8());
    installer.close();
    QFile feed(feedFolder + "/feed.json");
    ASSERT_TRUE(feed.open(QIODevice::WriteOnly));
    feed.write(R"({"version": "99.0", "installer": "install-99.0.sh"})");
    feed.close();

    // Audio is playing, so nothing restarts by itself: the update waits for the quit.
    SimulatedWorld world = SimulatedWorld::builtIn();
    for (auto& device : world.devices) device.runningSomewhere = true;
    QString error;
    ASSERT_TRUE(world.save(app.homePath() + "/world.json", error)) << error.toStdString();
    app.environment().insert("QUELLOR_WORLD", app.homePath() + "/world.json");
    app.seedDefaults({{"oscEnabled", false}, {"updateFeedURL", QUrl::fromLocalFile(feed.fileName()).toString()}});
    app.start();
    ASSERT_TRUE(app.waitForLog("update staged: 99.0")) << app.output().toStdString();
    const QString staged = app.dataPath() + "/Quellor/updates/99.0/install-99.0.sh";
    EXPECT_TRUE(QFileInfo(staged).isExecutable());
    EXPECT_FALSE(QFileInfo::exists(marker));

    EXPECT_EQ(app.stop(SIGTERM), 0) << app.output().toStdString();
    EXPECT_TRUE(app.output().contains("Installing the staged update with " + staged + " once Quellor has quit"));
    // The installer starts once the process is gone: wait for it by the file it writes.
    QDeadlineTimer deadline(10000);
    while (QFileInfo(marker).size() == 0 && !deadline.hasExpired()) QThread::msleep(50);
    QFile ran(marker);
    ASSERT_TRUE(ran.open(QIODevice::ReadOnly));
    EXPECT_EQ(ran.readAll().trimmed(), QFileInfo(staged).absolutePath().toUtf8()) << "it runs from its own folder";
}

}  // namespace
}  // namespace quellor::test
