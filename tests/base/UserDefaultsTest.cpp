#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <functional>
#include <vector>

#include "TestEnvironment.h"

namespace quellor {
namespace {

class UserDefaultsTest : public test::QuellorTest {};

TEST_F(UserDefaultsTest, TypedReadersKeepTypesApart) {
    UserDefaults d;
    d.setString("oscPort", "9001");
    d.setInteger("count", 3);
    d.setDouble("level", 0.25);
    d.setBool("flag", true);
    d.setData("blob", QByteArray("\x00\x01", 2));

    EXPECT_EQ(d.integerOr("oscPort", 9000), 9000);  // a string is not an integer
    EXPECT_EQ(d.integerOr("count", 0), 3);
    EXPECT_DOUBLE_EQ(d.doubleOr("count", 0), 3.0);  // integers widen to double
    EXPECT_EQ(d.integerValue("level"), std::nullopt);
    EXPECT_EQ(d.boolValue("count"), std::nullopt);  // a number is not a bool
    EXPECT_EQ(d.boolOr("flag", false), true);
    EXPECT_EQ(d.stringValue("blob"), std::nullopt);
    EXPECT_EQ(d.dataValue("blob"), QByteArray("\x00\x01", 2));
    EXPECT_EQ(d.boolOr("absent", true), true);
}

TEST_F(UserDefaultsTest, PersistsAcrossARestartWithTypesIntact) {
    QTemporaryDir dir;
    QString path = dir.path() + "/Quellor/defaults.json";
    {
        UserDefaults d(path);
        d.setInteger("oscPort", 9100);
        d.setDouble("phonesBusVolume", 0.5);
        d.setBool("phonesBusMuted", true);
        d.setData("appVolumes", QByteArray("{\"a\":1}"));
        d.setStringArray("devicePriority", {"uid-1", "uid-2"});
        d.setDictionary("nested", QVariantMap{{"k", QVariantList{1, "x", false}}});
        scheduler().runPending();  // the write is posted promptly after the change
        EXPECT_TRUE(QFile::exists(path));
    }
    UserDefaults d(path);
    EXPECT_EQ(d.integerValue("oscPort"), 9100);
    EXPECT_EQ(d.doubleValue("phonesBusVolume"), 0.5);
    EXPECT_EQ(d.boolValue("phonesBusMuted"), true);
    EXPECT_EQ(d.dataValue("appVolumes"), QByteArray("{\"a\":1}"));
    EXPECT_EQ(d.stringArrayValue("devicePriority"), (QStringList{"uid-1", "uid-2"}));
    auto nested = d.dictionaryValue("nested");
    ASSERT_TRUE(nested);
    EXPECT_EQ(nested->value("k").toList().size(), 3);
}

TEST_F(UserDefaultsTest, UnreadableFileStartsEmptyAndChangedSignalFires) {
    QTemporaryDir dir;
    QString path = dir.path() + "/defaults.json";
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("{not json");
    f.close();
    UserDefaults d(path);
    EXPECT_FALSE(d.contains("x"));
    // Kept for the user: the first write would otherwise replace it.
    QFile kept(path + ".unreadable");
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), "{not json");
    EXPECT_TRUE(logs.containsText("Ignoring unreadable defaults file " + path));
    EXPECT_TRUE(d.storedValuesLost()) << "no backup to read";
    QSignalSpy spy(&d, &UserDefaults::changed);
    d.setInteger("x", 1);
    d.remove("x");
    ASSERT_EQ(spy.count(), 2);
    EXPECT_EQ(spy.at(0).at(0).toString(), "x");
}

TEST_F(UserDefaultsTest, ASaveOnAFullDiskKeepsThePreviousFileLogsOnceAndALaterSaveWritesEverything) {
    QTemporaryDir dir;
    const QString path = dir.path() + "/defaults.json";
    auto onDisk = [&] { return UserDefaults(path).stringValue("companionPairingPIN"); };
    UserDefaults d(path);
    d.setString("companionPairingPIN", "482913");
    d.setData("appVolumes", QByteArray(2000, 'v'));
    ASSERT_TRUE(d.flush());
    const auto size = QFileInfo(path).size();
    {
        test::FileSizeLimit full(size);  // the old file fits, nothing larger does
        d.setData("consoleSlots", QByteArray(100, 's'));
        scheduler().runPending();
        d.setString("companionPairingPIN", "111111");
        EXPECT_FALSE(d.flush());
    }
    EXPECT_EQ(QFileInfo(path).size(), size);
    EXPECT_EQ(onDisk(), "482913");
    EXPECT_EQ(logs.records("UserDefaults").size(), 1u);
    EXPECT_TRUE(logs.containsText("Cannot save the user defaults: " + path + ": "));

    EXPECT_TRUE(d.flush());  // the quit's flush, with room again
    EXPECT_EQ(onDisk(), "111111");
    EXPECT_EQ(UserDefaults(path).dataValue("consoleSlots"), QByteArray(100, 's'));
    EXPECT_TRUE(logs.contains("UserDefaults", LogLevel::Info, "Saved the user defaults again"));
}

QByteArray contents(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

// A settings file damaged in each of the ways found on real disks. A directory in its place stands
// for a file that cannot be read: the tests run as root, for whom mode 000 does not stop a read.
using Damage = std::function<void(const QString& path)>;
std::vector<std::pair<const char*, Damage>> damages() {
    auto overwrite = [](QByteArray bytes) {
        return [bytes](const QString& path) {
            QFile f(path);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
            ASSERT_EQ(f.write(bytes), bytes.size());
        };
    };
    return {
        {"truncated", [](const QString& path) { ASSERT_TRUE(QFile(path).resize(QFileInfo(path).size() / 2)); }},
        {"invalid UTF-8", overwrite("{\"companionPairingPIN\": \"48\xff\xfe" "13\"}")},
        {"a top-level array", overwrite("[{\"companionPairingPIN\": \"482913\"}]")},
        {"50 MB of junk", overwrite(QByteArray(50 << 20, '\x01'))},
        {"unreadable",
         [](const QString& path) {
             ASSERT_TRUE(QFile::remove(path));
             ASSERT_TRUE(QDir().mkdir(path));
         }},
    };
}

TEST_F(UserDefaultsTest, EachSaveKeepsThePreviousFileAsTheBackupAndADamagedFileIsReadFromIt) {
    for (const auto& [name, damage] : damages()) {
        SCOPED_TRACE(name);
        QTemporaryDir dir;
        const QString path = dir.path() + "/defaults.json", backup = path + ".bak";
        {
            UserDefaults d(path);
            d.setString("companionPairingPIN", "482913");
            d.setInteger("oscPort", 9100);
            ASSERT_TRUE(d.flush());
            EXPECT_FALSE(QFile::exists(backup)) << "the first save has nothing to keep";
            d.setDouble("phonesBusVolume", 0.5);
            ASSERT_TRUE(d.flush());
        }
        const QByteArray previous = contents(backup);
        EXPECT_EQ(UserDefaults(backup).stringValue("companionPairingPIN"), "482913");
        EXPECT_FALSE(UserDefaults(backup).contains("phonesBusVolume")) << "the backup is the version before the last save";

        damage(path);
        const QByteArray damaged = contents(path);
        UserDefaults d(path);
        EXPECT_FALSE(d.storedValuesLost());
        EXPECT_EQ(d.stringValue("companionPairingPIN"), "482913");
        EXPECT_EQ(d.integerValue("oscPort"), 9100);
        EXPECT_TRUE(logs.containsText("Ignoring unreadable defaults file " + path));
        EXPECT_TRUE(logs.containsText("Read the defaults from the backup " + backup));
        EXPECT_FALSE(QFileInfo::exists(path)) << "kept aside";
        EXPECT_EQ(contents(path + ".unreadable"), damaged) << "kept for the user as it was";

        // The next save puts the file back and leaves the backup alone: it is still the last
        // version that read.
        d.setBool("oscEnabled", true);
        ASSERT_TRUE(d.flush());
        EXPECT_EQ(UserDefaults(path).stringValue("companionPairingPIN"), "482913");
        EXPECT_EQ(contents(backup), previous);
    }
}

TEST_F(UserDefaultsTest, LoadingRemovesWhatSavesCutShortLeftOfTheFileAndItsBackup) {
    QTemporaryDir dir;
    const QString path = dir.filePath("defaults.json");
    for (const char* name : {"defaults.json.tmp-1f", "defaults.json.bak.tmp-0", "defaults.json.tmp-1F", "other.json.tmp-1f"}) {
        QFile f(dir.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    QFile main(path);  // read, so the backup is not: its leftovers go all the same
    ASSERT_TRUE(main.open(QIODevice::WriteOnly));
    main.write("{}");
    main.close();
    UserDefaults d(path);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files, QDir::Name),
              (QStringList{"defaults.json", "defaults.json.tmp-1F", "other.json.tmp-1f"}));
}

TEST_F(UserDefaultsTest, WithNeitherFileReadableTheStoreSaysItsValuesAreLostAndKeepsBothFiles) {
    QTemporaryDir dir;
    const QString path = dir.path() + "/defaults.json", backup = path + ".bak";
    EXPECT_FALSE(UserDefaults(path).storedValuesLost()) << "a first start has lost nothing";
    for (const auto& [name, damage] : damages()) {
        SCOPED_TRACE(name);
        for (const QString& file : {path, backup}) {
            QFile f(file);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write("{\"companionPairingPIN\": \"482913\"}");
            f.close();
            damage(file);
        }
        UserDefaults d(path);
        EXPECT_TRUE(d.storedValuesLost());
        EXPECT_FALSE(d.contains("companionPairingPIN"));
        EXPECT_FALSE(QFileInfo::exists(path));
        EXPECT_FALSE(QFileInfo::exists(backup)) << "a later save would replace it";
        for (const QString& entry : QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot)) {
            QFileInfo info(dir.filePath(entry));
            if (info.isDir()) QDir(info.filePath()).removeRecursively();
            else QFile::remove(info.filePath());
        }
    }
}

}  // namespace
}  // namespace quellor
