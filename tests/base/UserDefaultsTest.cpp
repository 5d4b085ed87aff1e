#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTemporaryDir>

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

}  // namespace
}  // namespace quellor
