#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <unistd.h>

#include "SetupPrinting.h"
#include "TestEnvironment.h"
#include "setups/MixSessionStore.h"

namespace quellor {
namespace {

QByteArray contents(const QString& path) { return MixSessionStore::readAll(path).value_or("<missing>"); }

void write(const QString& path, const QByteArray& data) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(data);
}

MixSessionFile fileNamed(const QString& name) {
    MixSession s;
    s.name = name;
    return MixSessionFile{s.id, {s}};
}

class MixSessionStoreTest : public test::QuellorTest {
protected:
    QTemporaryDir dir;
    QString path = dir.filePath("data/Quellor/sessions.json");
    MixSessionStore store{path};
};

TEST_F(MixSessionStoreTest, FirstSaveMakesTheFolderAndFileSecondKeepsTheFirstBytesAsBackup) {
    EXPECT_EQ(store.backupPath(), path + ".bak");
    const auto a = fileNamed("A");
    store.save(a);
    const QByteArray first = contents(path);
    EXPECT_EQ(first, *MixSessionStore::encode(a));
    EXPECT_FALSE(QFileInfo::exists(store.backupPath()));

    // A reader holding the old file (here a second link to it) keeps a whole old file: the new
    // bytes go to a new file that is renamed into place, never over the old one.
    ASSERT_EQ(::link(qPrintable(path), qPrintable(dir.filePath("reader.json"))), 0);
    store.save(fileNamed("B"));
    EXPECT_EQ(contents(store.backupPath()), first);
    EXPECT_EQ(json::decode<MixSessionFile>(contents(path))->sessions[0].name, "B");
    EXPECT_EQ(contents(dir.filePath("reader.json")), first);

    const QByteArray second = contents(path);
    store.save(fileNamed("C"));
    EXPECT_EQ(contents(store.backupPath()), second);
    EXPECT_EQ(QDir(dir.filePath("data/Quellor")).entryList(QDir::Files), QStringList({"sessions.json", "sessions.json.bak"}));
}

TEST_F(MixSessionStoreTest, AFileThatCannotBeEncodedChangesNothingOnDisk) {
    store.save(fileNamed("A"));
    store.save(fileNamed("B"));
    const QByteArray file = contents(path), backup = contents(store.backupPath());
    auto bad = fileNamed("C");
    bad.sessions[0].phonesLevel = std::numeric_limits<float>::infinity();
    store.save(bad);
    EXPECT_EQ(contents(path), file);
    EXPECT_EQ(contents(store.backupPath()), backup);
}

TEST_F(MixSessionStoreTest, SaveFailuresAreSilent) {
    // A file where the folder should be: no folder, no file, no crash.
    write(dir.filePath("data"), "x");
    store.save(fileNamed("A"));
    EXPECT_FALSE(QFileInfo::exists(path));
    EXPECT_FALSE(MixSessionStore::writeAtomically(path, "{}"));
}

TEST_F(MixSessionStoreTest, LoadTriesTheFileThenTheBackup) {
    const QByteArray a = *MixSessionStore::encode(fileNamed("A"));
    const QByteArray b = *MixSessionStore::encode(fileNamed("B"));
    const QByteArray empty = R"({"sessions":[]})";
    const QByteArray damaged = R"({"sessions":[{"name":"half)";
    const QByteArray newer = R"({"format":2,"setups":[]})";
    const QByteArray none;  // no file
    struct Case {
        QByteArray main, backup;
        std::optional<QString> winner;  // name of the first setup, "" for an empty list
        QStringList unreadable;         // file names
    };
    const Case cases[] = {
        {none, none, std::nullopt, {}},
        {a, b, "A", {}},
        {none, b, "B", {}},
        {damaged, b, "B", {"sessions.json"}},
        {empty, b, "", {}},  // a readable file wins even with no setups
        {a, damaged, "A", {}},
        {damaged, none, std::nullopt, {"sessions.json"}},
        {none, newer, std::nullopt, {"sessions.json.bak"}},
        {newer, damaged, std::nullopt, {"sessions.json", "sessions.json.bak"}},
    };
    QDir().mkpath(QFileInfo(path).absolutePath());
    for (const auto& c : cases) {
        QFile::remove(path);
        QFile::remove(store.backupPath());
        if (!c.main.isNull()) write(path, c.main);
        if (!c.backup.isNull()) write(store.backupPath(), c.backup);
        auto loaded = store.load();
        const std::string what = (c.main + " | " + c.backup).toStdString();
        ASSERT_EQ(loaded.file.has_value(), c.winner.has_value()) << what;
        if (loaded.file) {
            EXPECT_EQ(loaded.file->sessions.empty() ? QString() : loaded.file->sessions[0].name, *c.winner) << what;
        }
        QStringList names;
        for (const auto& p : loaded.unreadable) names << QFileInfo(p).fileName();
        EXPECT_EQ(names.join(","), c.unreadable.join(",")) << what;
    }
    // A folder at the file's place cannot be read.
    QFile::remove(path);
    QFile::remove(store.backupPath());
    QDir().mkpath(path);
    EXPECT_EQ(store.load().unreadable.join(","), path);
}

TEST_F(MixSessionStoreTest, LoadRemovesWhatSavesCutShortLeftOfBothFilesAndNothingElse) {
    const QString folder = QFileInfo(path).absolutePath();
    QDir().mkpath(folder);
    write(path, *MixSessionStore::encode(fileNamed("A")));
    for (const char* name : {"sessions.json.tmp-1f", "sessions.json.bak.tmp-deadbeef", "sessions.json.tmp-x",
                             "recording.wav.tmp-1f"})
        write(folder + "/" + name, "half");
    ASSERT_TRUE(store.load().file.has_value());
    EXPECT_EQ(QDir(folder).entryList(QDir::Files, QDir::Name),
              (QStringList{"recording.wav.tmp-1f", "sessions.json", "sessions.json.tmp-x"}));
}

TEST_F(MixSessionStoreTest, KeepAsideNeverReplacesAnEarlierKeptFile) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    for (const QByteArray& bytes : {QByteArray("first"), QByteArray("second"), QByteArray("third")}) {
        write(path, bytes);
        MixSessionStore::keepAside({path});
    }
    EXPECT_FALSE(QFileInfo::exists(path));
    EXPECT_EQ(contents(path + ".unreadable"), "first");
    EXPECT_EQ(contents(path + ".unreadable.2"), "second");
    EXPECT_EQ(contents(path + ".unreadable.3"), "third");
    auto moved = MixSessionStore::keepAside({dir.filePath("nothing-here")});
    ASSERT_EQ(moved.size(), 1u);
    EXPECT_TRUE(moved[0].second.isEmpty());
}

TEST(MixSessionStorePath, FollowsXdgDataHome) {
    const QByteArray saved = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", "/srv/data");
    EXPECT_EQ(MixSessionStore::defaultPath(), "/srv/data/Quellor/sessions.json");
    qputenv("XDG_DATA_HOME", "relative/data");
    EXPECT_EQ(MixSessionStore::defaultPath(), QDir::homePath() + "/.local/share/Quellor/sessions.json");
    qunsetenv("XDG_DATA_HOME");
    EXPECT_EQ(MixSessionStore().path(), QDir::homePath() + "/.local/share/Quellor/sessions.json");
    if (!saved.isNull()) qputenv("XDG_DATA_HOME", saved);
}

}  // namespace
}  // namespace quellor
