#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <memory>

#include "FakeSessionEngine.h"
#include "SetupPrinting.h"
#include "TestEnvironment.h"
#include "setups/SessionManager.h"

namespace quellor {
namespace {

using test::FakeSessionEngine;

QStringList sixteen(QStringList first) {
    while (first.size() < 16) first << QString();
    return first;
}

MixSession setup(const QString& name, const QDateTime& modified, float volume = 1.0f) {
    MixSession s;
    s.name = name;
    s.createdAt = s.modifiedAt = modified;
    s.volumes = {{"com.example.player", AppVolume{volume, false, {}, false, 1.0f}}};
    s.mainLevel = volume;
    s.stripSlots = sixteen({"com.example.player"});
    return s;
}

class SessionManagerTest : public test::QuellorTest {
protected:
    SessionManagerTest() {
        engine.devices = {{7, "USB-1"}, {9, "HDMI"}};
        engine.defaultDeviceID = 7;
        engine.volumeMap = {{"com.example.player", AppVolume{0.4f, false, {}, false, 1.0f}}};
        QDir().mkpath(QFileInfo(path).absolutePath());
    }

    // Builds the manager as the application does, with its mix-change hook wired.
    // Like a restart: the running manager finishes its writes and goes before the next one reads the file.
    SessionManager& start() {
        stop();
        manager = std::make_unique<SessionManager>(engine, MixSessionStore(path), [this] { return clock; });
        engine.onMixChanged = [m = manager.get()] { m->captureCurrent(); };
        engine.calls.clear();
        return *manager;
    }
    SessionManager& startWith(const std::vector<MixSession>& sessions, std::optional<QUuid> current) {
        stop();  // its last writes must not land over the file written here
        writeFile(path, *MixSessionStore::encode(MixSessionFile{current, sessions}));
        return start();
    }
    void stop() { manager.reset(); }
    void tick(int seconds = 60) { clock = clock.addSecs(seconds); }

    static void writeFile(const QString& p, const QByteArray& data) {
        QFile f(p);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(data);
    }
    // What is on disk once the writes handed over so far are over.
    QByteArray contents(const QString& p) const {
        if (manager) manager->waitForWrites();
        return MixSessionStore::readAll(p).value_or("<missing>");
    }
    MixSessionFile onDisk() const { return json::decode<MixSessionFile>(contents(path)).value_or(MixSessionFile{}); }
    QStringList names() const {
        QStringList list;
        for (const auto& s : manager->sessions()) list << s.name;
        return list;
    }

    QTemporaryDir dir;
    QString path = dir.filePath("Quellor/sessions.json");
    QString backup = path + ".bak";
    QDateTime clock = QDateTime(QDate(2024, 5, 1), QTime(9, 0), Qt::UTC);
    FakeSessionEngine engine;
    std::unique_ptr<SessionManager> manager;
};

// ---- start-up ----

TEST_F(SessionManagerTest, StartsWithACapturedFirstSetupWhenThereIsNoFile) {
    auto& m = start();
    ASSERT_EQ(m.sessions().size(), 1u);
    const MixSession& first = m.sessions()[0];
    EXPECT_EQ(first.name, "Setup 1");
    EXPECT_EQ(first.volumes, engine.volumeMap);
    EXPECT_EQ(first.mainDeviceUID, "USB-1");
    EXPECT_EQ(first.createdAt, clock);
    EXPECT_EQ(m.currentID(), first.id);
    EXPECT_EQ(onDisk(), (MixSessionFile{first.id, {first}}));
    EXPECT_FALSE(QFileInfo::exists(backup));
    EXPECT_TRUE(engine.calls.isEmpty());  // nothing applied
    EXPECT_TRUE(logs.records("SessionManager").empty());
}

TEST_F(SessionManagerTest, StartUpFallbackTable) {
    const MixSession a = setup("A", clock), b = setup("B", clock);
    const QByteArray fileA = *MixSessionStore::encode(MixSessionFile{a.id, {a}});
    const QByteArray fileB = *MixSessionStore::encode(MixSessionFile{b.id, {b}});
    const QByteArray noSetups = R"({"sessions":[]})";
    const QByteArray damaged = "{\"sessions\":[";
    const QByteArray newer = R"({"version":3,"setups":[{"title":"Band"}]})";
    const QByteArray none;
    struct Case {
        QByteArray main, backup;
        QString name;       // the current setup after start-up
        bool written;       // start-up wrote the setups file
        QStringList keptAside;
    };
    const Case cases[] = {
        {fileA, fileB, "A", false, {}},
        {damaged, fileB, "B", false, {"sessions.json"}},
        {none, fileB, "B", false, {}},
        {noSetups, fileB, "Setup 1", true, {}},
        {damaged, none, "Setup 1", true, {"sessions.json"}},
        {none, damaged, "Setup 1", true, {"sessions.json.bak"}},
        {newer, damaged, "Setup 1", true, {"sessions.json", "sessions.json.bak"}},
    };
    for (const auto& c : cases) {
        stop();
        QDir(QFileInfo(path).absolutePath()).removeRecursively();
        QDir().mkpath(QFileInfo(path).absolutePath());
        if (!c.main.isNull()) writeFile(path, c.main);
        if (!c.backup.isNull()) writeFile(backup, c.backup);
        logs.clear();
        auto& m = start();
        const std::string what = (c.main.left(20) + " | " + c.backup.left(20)).toStdString();
        ASSERT_TRUE(m.currentSession()) << what;
        EXPECT_EQ(m.currentSession()->name, c.name) << what;
        const QByteArray written = contents(path);
        EXPECT_EQ(QFileInfo::exists(path) && written != c.main, c.written) << what;
        for (const QString& name : c.keptAside) {
            const QString original = QFileInfo(path).absolutePath() + "/" + name;
            EXPECT_EQ(contents(original + ".unreadable"), name.endsWith(".bak") ? c.backup : c.main) << what;
            EXPECT_TRUE(logs.contains("SessionManager", LogLevel::Error,
                                      "Setups file " + original + " cannot be read; kept as " + original + ".unreadable"))
                << what;
        }
        if (c.keptAside.isEmpty()) {
            EXPECT_TRUE(logs.records("SessionManager").empty()) << what;
        } else if (c.written) {
            EXPECT_FALSE(QFileInfo::exists(backup)) << what;  // the first save found no file to back up
        } else {
            EXPECT_EQ(contents(backup), c.backup) << what;  // the copy that loaded stays as it is
        }
    }
}

TEST_F(SessionManagerTest, ACurrentIdNamingNoSetupFallsToTheFirstWithoutWriting) {
    const MixSession a = setup("A", clock), b = setup("B", clock.addSecs(5));
    auto& m = startWith({a, b}, QUuid::createUuid());
    const QByteArray before = contents(path);
    EXPECT_EQ(m.currentID(), a.id);
    EXPECT_EQ(contents(path), before);
    EXPECT_EQ(m.recentSessions()[0].name, "B");
}

// ---- following the live mix ----

TEST_F(SessionManagerTest, MixChangesRewriteTheFileWithTheCurrentSetupAndKeepThePreviousBytes) {
    auto& m = start();
    const QByteArray first = contents(path);
    tick();
    engine.setStripStyles({{"bus:main", StripStyle{"Out", 3, std::nullopt}}});
    EXPECT_EQ(contents(path), first);  // written a moment later, with the rest of the burst
    advance(SessionManager::kCaptureSaveDelay);
    EXPECT_EQ(contents(backup), first);
    const MixSession current = onDisk().sessions.at(0);
    EXPECT_EQ(current.styles, engine.styles);
    EXPECT_EQ(current.modifiedAt, clock);
    EXPECT_EQ(current.createdAt, clock.addSecs(-60));
    EXPECT_EQ(*m.currentSession(), current);

    tick();
    const QByteArray second = contents(path);
    engine.setSlot("system_input", 3);
    advance(SessionManager::kCaptureSaveDelay);
    EXPECT_EQ(onDisk().sessions.at(0).stripSlots.at(3), "system_input");
    EXPECT_EQ(contents(backup), second);
}

TEST_F(SessionManagerTest, ABurstOfMixChangesIsWrittenOnce) {
    start();
    const QByteArray before = contents(path);
    for (int i = 0; i < 200; ++i) engine.setSlot(QString("com.example.app%1").arg(i), i % 16);
    EXPECT_EQ(contents(path), before);
    advance(SessionManager::kCaptureSaveDelay);
    EXPECT_EQ(onDisk().sessions.at(0).stripSlots, engine.strips);
    EXPECT_EQ(contents(backup), before);  // one save: the backup is the file before the burst
}

TEST_F(SessionManagerTest, ASaveOnAFullDiskKeepsEveryFileAndLogsOnceAndTheFlushAtQuitWritesTheLiveSetups) {
    const MixSession a = setup("A", clock), b = setup("B", clock), c = setup("C", clock);
    auto& m = startWith({a, b, c}, c.id);
    const QByteArray original = contents(path);
    {
        test::FileSizeLimit full(original.size());  // the file as it is fits, nothing larger does
        engine.setSlot("system_input", 3);
        advance(SessionManager::kCaptureSaveDelay);
        engine.setSlot("bus:phones", 4);
        advance(SessionManager::kCaptureSaveDelay);
        m.waitForWrites();  // the writer thread meets the limit too
    }
    EXPECT_EQ(contents(path), original);
    EXPECT_FALSE(QFileInfo::exists(backup));
    EXPECT_TRUE(m.hasUnsavedChanges());
    const auto records = logs.records("SessionManager");
    ASSERT_EQ(records.size(), 1u);
    EXPECT_TRUE(records[0].text.startsWith("Cannot save the setups file: " + path + ": ")) << records[0].text.toStdString();

    manager.reset();  // quitting, with room again
    const MixSessionFile saved = onDisk();
    ASSERT_EQ(saved.sessions.size(), 3u);
    EXPECT_EQ(saved.sessions.at(2).stripSlots.mid(3, 2), (QStringList{"system_input", "bus:phones"}));
    EXPECT_EQ(contents(backup), original);
    EXPECT_TRUE(logs.contains("SessionManager", LogLevel::Info, "Saved the setups file again"));
}

// ---- switching and creating ----

TEST_F(SessionManagerTest, SwitchToCapturesTheLeftSetupThenAppliesTheOther) {
    const MixSession a = setup("A", clock, 0.3f), b = setup("B", clock, 0.9f);
    auto& m = startWith({a, b}, a.id);
    QSignalSpy currentChanged(&m, &SessionManager::currentIDChanged);

    const QByteArray before = contents(path);
    m.switchTo(a.id);  // already current
    m.switchTo(QUuid::createUuid());
    EXPECT_TRUE(engine.calls.isEmpty());
    EXPECT_EQ(contents(path), before);
    EXPECT_EQ(currentChanged.count(), 0);

    tick();
    engine.volumeMap["com.example.player"].volume = 0.5f;  // the live mix moved since start-up
    m.switchTo(b.id);
    EXPECT_EQ(m.currentID(), b.id);
    EXPECT_EQ(currentChanged.count(), 1);
    EXPECT_EQ(engine.volumeMap, b.volumes);
    const MixSessionFile file = onDisk();
    EXPECT_EQ(file.currentID, b.id);
    // The left setup holds the mix it was left with, not what applying B reported on the way.
    EXPECT_EQ(file.sessions[0].volumes.at("com.example.player").volume, 0.5f);
    EXPECT_EQ(file.sessions[0].modifiedAt, clock);
    EXPECT_EQ(file.sessions[1].volumes, b.volumes);
}

TEST_F(SessionManagerTest, NewSetupIsEmptyWithTheBusesOnTheFirstStrips) {
    engine.styles = {{"x", StripStyle{}}};
    auto& m = start();
    m.newSetup("");
    m.newSetup("  ");
    ASSERT_EQ(names(), (QStringList{"Setup 1", "Session", "Session 2"}));
    const MixSession made = *m.currentSession();
    EXPECT_EQ(made.name, "Session 2");
    EXPECT_EQ(made.volumes, AppVolumeMap{});
    EXPECT_EQ(made.mainDeviceUID, "USB-1");
    EXPECT_EQ(made.stripSlots, sixteen({"bus:main", "bus:phones"}));
    EXPECT_EQ(engine.volumeMap, AppVolumeMap{});
    EXPECT_EQ(engine.styles, StripStyleMap{});
    EXPECT_EQ(engine.strips, sixteen({"bus:main", "bus:phones"}));
    EXPECT_EQ(engine.main, 0.5f);  // levels stay as they are
    EXPECT_EQ(onDisk().sessions.size(), 3u);
    EXPECT_EQ(onDisk().currentID, made.id);
}

TEST(SessionManagerNames, UniqueNameTable) {
    auto named = [](QStringList list) {
        std::vector<MixSession> sessions;
        for (const auto& n : list) sessions.push_back(setup(n, QDateTime::currentDateTimeUtc()));
        return sessions;
    };
    struct Case {
        QString base;
        QStringList existing;
        QString expected;
    };
    const Case cases[] = {
        {"Mix", {}, "Mix"},
        {"Mix", {"Mix", "Mix 2"}, "Mix 3"},
        {" Mix\t", {"Mix"}, "Mix 2"},
        {"Mix", {"mix", "Mix "}, "Mix"},  // exact comparison
        {"Mix", {"Mix", "Mix 3"}, "Mix 2"},
        {"", {}, "Session"},
        {" \t ", {"Session"}, "Session 2"},
        {"Two\nlines ", {"Two\nlines"}, "Two\nlines 2"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SessionManager::uniqueName(c.base, named(c.existing)), c.expected) << c.base.toStdString();
}

// ---- duplicate, rename, delete ----

TEST_F(SessionManagerTest, DuplicateCopiesTheCapturedSetupWithoutTouchingTheEngine) {
    auto& m = startWith({setup("Live", clock)}, std::nullopt);
    const QUuid live = m.sessions()[0].id;
    tick();
    m.duplicateSetup();
    const MixSession copy = m.sessions().at(1);
    EXPECT_EQ(copy.name, "Live copy");
    EXPECT_NE(copy.id, live);
    EXPECT_EQ(copy.volumes, engine.volumeMap);
    EXPECT_EQ(copy.createdAt, clock);
    EXPECT_EQ(copy.modifiedAt, clock);
    EXPECT_EQ(m.currentID(), copy.id);
    EXPECT_TRUE(engine.calls.isEmpty());
    EXPECT_EQ(onDisk().sessions.size(), 2u);
    EXPECT_EQ(onDisk().currentID, copy.id);

    m.switchTo(live);
    m.duplicateSetup();
    EXPECT_EQ(names(), (QStringList{"Live", "Live copy", "Live copy 2"}));
}

TEST_F(SessionManagerTest, RenameTrimsAndAllowsADuplicateName) {
    const MixSession a = setup("A", clock), b = setup("B", clock);
    auto& m = startWith({a, b}, b.id);
    const QByteArray before = contents(path);
    m.renameSetup(" \t ");
    EXPECT_EQ(contents(path), before);
    m.renameSetup("  A\t");
    EXPECT_EQ(names(), (QStringList{"A", "A"}));
    EXPECT_EQ(m.sessions()[1].modifiedAt, b.modifiedAt);
    m.renameSetup("Night\n");
    EXPECT_EQ(onDisk().sessions[1].name, "Night\n");
}

TEST_F(SessionManagerTest, DeleteKeepsTheLastSetupAndOtherwiseOpensTheMostRecent) {
    auto& m = start();
    m.deleteSetup();
    EXPECT_EQ(m.sessions().size(), 1u);

    const MixSession old = setup("Old", clock.addDays(-2), 0.1f), recent = setup("Recent", clock.addDays(-1), 0.2f),
                     current = setup("Current", clock, 0.3f);
    auto& three = startWith({old, recent, current}, current.id);
    three.deleteSetup();
    EXPECT_EQ(names(), (QStringList{"Old", "Recent"}));
    EXPECT_EQ(three.currentID(), recent.id);
    EXPECT_EQ(engine.volumeMap, recent.volumes);
    EXPECT_EQ(onDisk().sessions.size(), 2u);
    EXPECT_EQ(onDisk().currentID, recent.id);
}

TEST_F(SessionManagerTest, DeleteNeverEmptiesTheListWhenSetupsShareTheCurrentId) {
    MixSession a = setup("A", clock), b = setup("B", clock);
    b.id = a.id;
    auto& m = startWith({a, b}, a.id);
    m.deleteSetup();
    EXPECT_EQ(m.sessions().size(), 2u);
}

// ---- export and import ----

TEST_F(SessionManagerTest, ExportThenImportAddsACopyWithANewIdAndName) {
    const MixSession live = setup("Live", clock.addDays(-7));
    auto& m = startWith({live}, live.id);
    tick();
    const QString file = dir.filePath("Live.quellorsetup");
    ASSERT_TRUE(m.exportSetup(file));
    const auto exported = json::decode<MixSession>(contents(file));
    ASSERT_TRUE(exported);
    EXPECT_EQ(*exported, *m.currentSession());  // the setup as just captured
    EXPECT_EQ(exported->modifiedAt, clock);

    tick();
    engine.volumeMap.clear();
    ASSERT_TRUE(m.importSetup(file));
    EXPECT_EQ(names(), (QStringList{"Live", "Live 2"}));
    const MixSession imported = *m.currentSession();
    EXPECT_NE(imported.id, live.id);
    EXPECT_EQ(imported.createdAt, live.createdAt);
    EXPECT_EQ(imported.modifiedAt, clock);
    EXPECT_EQ(imported.volumes, exported->volumes);
    EXPECT_EQ(engine.volumeMap, exported->volumes);  // applied
    EXPECT_EQ(onDisk().currentID, imported.id);
}

TEST_F(SessionManagerTest, FailedImportsAndExportsChangeNothing) {
    auto& m = start();
    const QString wholeFile = dir.filePath("all.quellorsetup");
    writeFile(wholeFile, contents(path));  // a setups file, not a single setup
    const QByteArray before = contents(path);
    EXPECT_FALSE(m.importSetup(wholeFile));
    EXPECT_FALSE(m.importSetup(dir.filePath("missing.quellorsetup")));
    // Each failure says which file and why; nothing else tells the user.
    EXPECT_TRUE(logs.contains("SessionManager", LogLevel::Error,
                              "Setup " + wholeFile + " cannot be imported: it holds no setup this version can read"));
    bool missingLogged = false;
    for (const LogRecord& r : logs.records("SessionManager"))
        missingLogged |= r.level == LogLevel::Error && r.text.startsWith("Setup " + dir.filePath("missing.quellorsetup") + " cannot be imported: ");
    EXPECT_TRUE(missingLogged);
    EXPECT_EQ(contents(path), before);
    EXPECT_TRUE(engine.calls.isEmpty());
    EXPECT_EQ(m.sessions().size(), 1u);

    EXPECT_FALSE(m.exportSetup(dir.filePath("no/such/folder/x.quellorsetup")));
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("no")));
}

}  // namespace
}  // namespace quellor
