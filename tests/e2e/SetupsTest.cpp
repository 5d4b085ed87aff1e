#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonObject>
#include <QProcess>
#include <csignal>

#include "QuellorProcess.h"
#include "setups/MixSessionStore.h"

namespace quellor::test {
namespace {

std::optional<MixSession> currentSetup(const MixSessionStore& store) {
    auto file = store.load().file;
    if (!file || !file->currentID) return std::nullopt;
    for (const MixSession& s : file->sessions)
        if (s.id == *file->currentID) return s;
    return std::nullopt;
}

TEST(Setups, ASlotSentOverOSCRewritesTheSetupsFileAndKeepsThePreviousOneAsBackup) {
    QuellorProcess app;
    const quint16 port = QuellorProcess::freeUdpPort();
    const QString pin = "482913";
    app.seedDefaults({{"oscPort", port}, {"companionPairingPIN", pin}});
    app.start();
    ASSERT_TRUE(app.waitForLog(QString("OSC Listener ready on port %1").arg(port))) << app.output().toStdString();
    ASSERT_TRUE(app.waitForLog("Quellor started")) << app.output().toStdString();

    // The setups are loaded (here: a first setup handed to the writer's thread) before the engine
    // starts.
    const MixSessionStore store(app.dataPath() + "/Quellor/sessions.json");
    std::optional<QByteArray> initial;
    ASSERT_TRUE(app.waitUntil([&] { return (initial = MixSessionStore::readAll(store.path())).has_value(); }))
        << app.output().toStdString();
    ASSERT_FALSE(QFile::exists(store.backupPath()));
    const auto first = currentSetup(store);
    ASSERT_TRUE(first.has_value());
    ASSERT_NE(first->stripSlots.value(3), "system_input");

    // The listener learns the PIN when the engine starts, a moment after the log line above: a
    // datagram that comes earlier is refused, so it is sent again until the file changes (the
    // engine's start forgets refusals). A value address without an argument is ignored, so it
    // carries one.
    // The backup is written once the new file is in place: a save is complete when both are there.
    auto rewritten = [&] {
        return MixSessionStore::readAll(store.path()) != initial && QFile::exists(store.backupPath());
    };
    for (int attempt = 0; attempt < 20 && !rewritten(); ++attempt) {
        ASSERT_EQ(QProcess::execute("oscsend", {"127.0.0.1", QString::number(port),
                                                 "/a/" + pin + "/slot/3/system_input", "f", "1"}),
                  0);
        app.waitUntil(rewritten, 1.0);
    }
    ASSERT_TRUE(rewritten()) << app.output().toStdString();

    auto current = currentSetup(store);
    ASSERT_TRUE(current.has_value());
    EXPECT_EQ(current->stripSlots.value(3), "system_input");
    // The backup follows the new file within the same save.
    app.waitUntil([&] { return QFile::exists(store.backupPath()); }, 5.0);
    EXPECT_EQ(MixSessionStore::readAll(store.backupPath()), initial);
    EXPECT_EQ(app.stop(SIGTERM), 0) << app.output().toStdString();
}

// A running program on a data folder prepared by `prepare`, driven over OSC with the pairing PIN.
class SetupsFiles : public ::testing::Test {
protected:
    void SetUp() override {
        app.seedDefaults({{"oscPort", port}, {"companionPairingPIN", pin}});
        QDir().mkpath(folder());
    }
    QString folder() const { return app.dataPath() + "/Quellor"; }
    QString path() const { return folder() + "/sessions.json"; }
    static QByteArray threeSetups() {
        std::vector<MixSession> list;
        for (const char* name : {"A", "B", "C"}) {
            MixSession s;
            s.name = name;
            s.createdAt = s.modifiedAt = QDateTime::currentDateTimeUtc();
            list.push_back(s);
        }
        return *MixSessionStore::encode(MixSessionFile{list.back().id, list});
    }
    static void write(const QString& path, const QByteArray& data, QFile::Permissions permissions) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(data);
        f.close();
        ASSERT_TRUE(QFile::setPermissions(path, permissions));
    }
    void startAsAnOrdinaryUser() {
        app.runUnprivileged();
        app.start();
        ASSERT_TRUE(app.waitForLog("Quellor started")) << app.output().toStdString();
    }
    // Sends a slot change until `done` holds: datagrams that arrive before the engine has started
    // are refused.
    bool sendSlot(int strip, const QString& id, const std::function<bool()>& done) {
        for (int attempt = 0; attempt < 20 && !done(); ++attempt) {
            QProcess::execute("oscsend", {"127.0.0.1", QString::number(port),
                                          QString("/a/%1/slot/%2/%3").arg(pin).arg(strip).arg(id), "f", "1"});
            app.waitUntil(done, 1.0);
        }
        return done();
    }
    QStringList currentSlots() const {
        const MixSessionStore store(path());
        if (auto s = currentSetup(store)) return s->stripSlots;
        return {};
    }

    QuellorProcess app;
    const quint16 port = QuellorProcess::freeUdpPort();
    const QString pin = "482913";
};

TEST_F(SetupsFiles, AnUnreadableSetupsFileIsKeptAsideAndTheBackupThatLoadedIsNeverRemoved) {
    const QByteArray setups = threeSetups();
    write(path(), "{\"sessions\": []}", QFile::Permissions());  // no permission at all
    write(path() + ".bak", setups, QFile::ReadOwner | QFile::WriteOwner);
    startAsAnOrdinaryUser();
    EXPECT_TRUE(app.output().contains("cannot be read; kept as " + path() + ".unreadable"));

    ASSERT_TRUE(sendSlot(3, "system_input", [&] { return currentSlots().value(3) == "system_input"; }))
        << app.output().toStdString();
    EXPECT_EQ(app.stop(SIGTERM), 0) << app.output().toStdString();
    for (const QString& file : {path(), path() + ".bak"}) {
        const auto loaded = json::decode<MixSessionFile>(MixSessionStore::readAll(file).value_or(""));
        ASSERT_TRUE(loaded.has_value()) << file.toStdString();
        EXPECT_EQ(loaded->sessions.size(), 3u) << file.toStdString();
    }
    EXPECT_EQ(MixSessionStore::readAll(path() + ".unreadable"), "{\"sessions\": []}");
}

TEST_F(SetupsFiles, ASetupsFileThatMayNotBeWrittenIsReportedAndTheLiveSetupsAreWrittenOnceItMayBe) {
    const QByteArray setups = threeSetups();
    write(path(), setups, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    startAsAnOrdinaryUser();

    ASSERT_TRUE(sendSlot(3, "system_input", [&] { return app.output().contains("Cannot save the setups file: "); }))
        << app.output().toStdString();
    EXPECT_EQ(MixSessionStore::readAll(path()), setups);
    EXPECT_FALSE(QFile::exists(path() + ".bak"));  // nothing refreshed while nothing could be saved

    ASSERT_TRUE(QFile::setPermissions(path(), QFile::ReadOwner | QFile::WriteOwner));
    ASSERT_TRUE(sendSlot(4, "bus:phones", [&] { return currentSlots().value(4) == "bus:phones"; }))
        << app.output().toStdString();
    EXPECT_EQ(currentSlots().value(3), "system_input");  // the change that could not be saved
    // Logged once the save is complete: the backup is written after the new file is in place.
    EXPECT_TRUE(app.waitForLog("Saved the setups file again"));
    EXPECT_EQ(MixSessionStore::readAll(path() + ".bak"), setups);
    EXPECT_EQ(app.stop(SIGTERM), 0) << app.output().toStdString();
}

TEST_F(SetupsFiles, ADamagedSettingsFileIsReadFromItsBackupAndTheUsersSetupSurvivesTheNextMixChange) {
    // The user's mix, in the current setup and in the settings as the last save left them.
    QStringList strips = {"bus:main", "bus:phones", "com.example.player"};
    while (strips.size() < 16) strips << "";
    MixSession setup;
    setup.name = "Live";
    setup.createdAt = setup.modifiedAt = QDateTime::currentDateTimeUtc();
    setup.volumes = {{"com.example.player", AppVolume{0.3f, true, {}, false, 1.0f}}};
    setup.stripSlots = strips;
    setup.styles = StripStyleMap{{"com.example.player", StripStyle{"Music", 3, std::nullopt}}};
    ASSERT_TRUE(MixSessionStore(path()).save(MixSessionFile{setup.id, {setup}}));
    auto data = [](const QByteArray& json) { return QJsonObject{{"$data", QString::fromLatin1(json.toBase64())}}; };
    app.seedDefaults({{"oscPort", port},
                      {"companionPairingPIN", pin},
                      {"consoleSlots", QJsonArray::fromStringList(strips)},
                      {"appVolumes", data(R"({"com.example.player":{"volume":0.3,"isMuted":true,)"
                                          R"("outputDeviceUIDs":[],"isCued":false,"cueVolume":1}})")},
                      {"stripStyles", data(R"({"com.example.player":{"name":"Music","color":3}})")}});
    const QString settings = app.configPath() + "/Quellor/defaults.json";
    ASSERT_TRUE(QFile::copy(settings, settings + ".bak"));
    ASSERT_TRUE(QFile(settings).resize(QFileInfo(settings).size() / 2));  // cut short
    const QByteArray damaged = MixSessionStore::readAll(settings).value_or("");

    app.start();
    ASSERT_TRUE(app.waitForLog("Quellor started")) << app.output().toStdString();
    // The port and the PIN came back with the rest: the slot change is heard.
    ASSERT_TRUE(sendSlot(5, "system_input", [&] { return currentSlots().value(5) == "system_input"; }))
        << app.output().toStdString();
    EXPECT_EQ(app.stop(SIGTERM), 0) << app.output().toStdString();

    for (const QString& file : {path(), path() + ".bak"}) {
        const auto loaded = json::decode<MixSessionFile>(MixSessionStore::readAll(file).value_or(""));
        ASSERT_TRUE(loaded && loaded->sessions.size() == 1u) << file.toStdString();
        const MixSession& saved = loaded->sessions.front();
        EXPECT_EQ(saved.volumes, setup.volumes) << file.toStdString();
        EXPECT_EQ(saved.stripSlots.value(2), "com.example.player") << file.toStdString();
        EXPECT_EQ(saved.styles, setup.styles) << file.toStdString();
    }
    EXPECT_EQ(MixSessionStore::readAll(settings + ".unreadable"), damaged) << "kept for the user";
}

}  // namespace
}  // namespace quellor::test
