// What the user is told about work that could not be kept where it belongs: the decisions, fed by
// the real setup manager and by the recorder's reports.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>

#include "FakeSessionEngine.h"
#include "TestEnvironment.h"
#include "app/UserNotices.h"
#include "setups/SessionManager.h"

namespace quellor {
namespace {

using Kind = UserNotices::Kind;

class UserNoticesTest : public test::QuellorTest {
protected:
    UserNoticesTest() {
        engine.devices = {{7, "USB-1"}};
        engine.defaultDeviceID = 7;
        EXPECT_TRUE(dir.isValid());
        EXPECT_TRUE(QDir().mkpath(folder()));
    }
    QString folder() const { return dir.filePath("Quellor"); }
    QString path() const { return folder() + "/sessions.json"; }
    static void write(const QString& p, const QByteArray& data) {
        QFile f(p);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(data);
    }
    std::unique_ptr<SessionManager> start() { return std::make_unique<SessionManager>(engine, MixSessionStore(path())); }

    QTemporaryDir dir;
    test::FakeSessionEngine engine;
    UserNotices notices;
};

TEST_F(UserNoticesTest, UnreadableSetupsFilesAreToldWithWhereTheyWereKept) {
    struct Case {
        const char* name;
        bool backupReads;
        QString detail;
    };
    MixSession good;
    good.name = "Evening";
    const QByteArray readable = *MixSessionStore::encode(MixSessionFile{good.id, {good}});
    const QString kept = QDir::toNativeSeparators(path() + ".unreadable");
    const QString keptBackup = QDir::toNativeSeparators(path() + ".bak.unreadable");
    const Case cases[] = {
        {"both unreadable", false,
         "Quellor started with a new setup. The unreadable files were kept as " + kept + " and " + keptBackup + "."},
        {"backup loaded", true, "Quellor opened their backup copy. The unreadable files were kept as " + kept + "."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        for (const QString& name : QDir(folder()).entryList(QDir::Files)) QFile::remove(folder() + "/" + name);
        write(path(), "{ not json");
        write(path() + ".bak", c.backupReads ? readable : QByteArray("\x01\x02"));
        UserNotices told;
        auto sessions = start();
        told.follow(*sessions);
        ASSERT_EQ(told.notices().size(), 1u);
        EXPECT_EQ(told.notices()[0].kind, Kind::SetupsSetAside);
        EXPECT_EQ(told.notices()[0].title, "Your setups could not be read");
        EXPECT_EQ(told.notices()[0].detail, c.detail);
    }

    // Nothing to tell on a first start or after a clean one.
    for (const QString& name : QDir(folder()).entryList(QDir::Files)) QFile::remove(folder() + "/" + name);
    for (int run = 0; run < 2; ++run) {
        UserNotices told;
        auto sessions = start();
        told.follow(*sessions);
        EXPECT_TRUE(told.notices().empty());
    }
}

// A save that fails on every change (a folder that cannot take the file) is told once; a dismissed
// notice stays away while the failure lasts; a save that succeeds again takes the notice down, and
// the next failure is told again.
TEST_F(UserNoticesTest, ASaveFailingOnEveryChangeIsToldOnceUntilItRecovers) {
    auto sessions = start();
    notices.follow(*sessions);
    QSignalSpy changes(&notices, &UserNotices::changed);
    auto blockFolder = [&] {
        // The setups are written on the writer's thread: none may be under way while the folder goes.
        sessions->waitForWrites();
        ASSERT_TRUE(QDir(folder()).removeRecursively());
        write(folder(), "a file where the folder was");
    };
    auto saveMany = [&] {
        for (int i = 0; i < 5; ++i) {
            sessions->captureCurrent();
            advance(SessionManager::kCaptureSaveDelay + 0.1);
            sessions->waitForWrites();
        }
    };

    blockFolder();
    saveMany();
    ASSERT_EQ(notices.notices().size(), 1u);
    EXPECT_EQ(notices.notices()[0].kind, Kind::SetupsNotSaved);
    EXPECT_EQ(notices.notices()[0].title, "Your setups cannot be saved");
    EXPECT_TRUE(notices.notices()[0].detail.startsWith(path())) << qPrintable(notices.notices()[0].detail);
    EXPECT_TRUE(notices.notices()[0].detail.endsWith("Quellor keeps them and saves them as soon as it can."));
    EXPECT_EQ(changes.count(), 1);

    notices.dismiss(Kind::SetupsNotSaved);
    saveMany();
    notices.setupsSaveFailing(true, sessions->saveError());  // the same news again
    EXPECT_TRUE(notices.notices().empty());

    ASSERT_TRUE(QFile::remove(folder()));
    saveMany();  // saved again: nothing to show, and the episode is over
    EXPECT_FALSE(sessions->saveFailing());
    blockFolder();
    saveMany();
    EXPECT_EQ(notices.notices().size(), 1u);

    ASSERT_TRUE(QFile::remove(folder()));
    saveMany();
    EXPECT_TRUE(notices.notices().empty());  // recovered: the notice goes by itself
}

TEST_F(UserNoticesTest, ARecordingWhoseFolderVanishedIsToldWhereItWasKeptOrThatItWasLost) {
    const QString lost = "/music/gone/Quellor 2024-05-01 10-00-00.wav";
    struct Step {
        RecordingLane::Rescue report;
        const char* title;
        QString detail;
    };
    const Step steps[] = {
        {{1, lost, {}, false},
         "A recording's folder disappeared",
         "No file can be made to keep " + lost + " yet; Quellor keeps recording and saves the take as soon as it can."},
        {{1, lost, "/home/me/Quellor 2024-05-01 10-00-00.wav", false},
         "A recording's folder disappeared",
         "The take was kept in /home/me/Quellor 2024-05-01 10-00-00.wav."},
        {{2, lost, {}, true},
         "A recording was lost",
         "The folder of " + lost + " disappeared and no other file could be made to keep the take."},
    };
    QSignalSpy changes(&notices, &UserNotices::changed);
    for (const auto& step : steps) {
        notices.recordingRescued(step.report);
        notices.recordingRescued(step.report);  // the same news twice is told once
        ASSERT_EQ(notices.notices().size(), 1u);
        EXPECT_EQ(notices.notices()[0].kind, Kind::RecordingVanished);
        EXPECT_EQ(notices.notices()[0].title, step.title);
        EXPECT_EQ(notices.notices()[0].detail, step.detail);
    }
    EXPECT_EQ(changes.count(), 3);
}

}  // namespace
}  // namespace quellor
