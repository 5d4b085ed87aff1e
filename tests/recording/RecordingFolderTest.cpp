#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "TestEnvironment.h"
#include "recording/RecordingFolder.h"

namespace quellor {
namespace {

// Points the user's home and XDG configuration into a temporary folder for the test.
class RecordingFolderTest : public test::QuellorTest {
protected:
    void SetUp() override {
        ASSERT_TRUE(home.isValid());
        savedHome = qgetenv("HOME");
        savedConfig = qgetenv("XDG_CONFIG_HOME");
        qputenv("HOME", home.path().toUtf8());
        qputenv("XDG_CONFIG_HOME", home.filePath("config").toUtf8());
    }
    void TearDown() override {
        qputenv("HOME", savedHome);
        if (savedConfig.isEmpty()) qunsetenv("XDG_CONFIG_HOME");
        else qputenv("XDG_CONFIG_HOME", savedConfig);
    }
    void writeUserDirs(const QByteArray& lines) {
        QDir().mkpath(home.filePath("config"));
        QFile file(home.filePath("config/user-dirs.dirs"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(lines);
    }

    QTemporaryDir home;
    QByteArray savedHome, savedConfig;
};

TEST_F(RecordingFolderTest, DefaultFolderIsQuellorInTheMusicFolderElseTheDocumentsFolder) {
    EXPECT_EQ(RecordingFolder::containerFolder(), home.filePath("Music/Quellor"));
    EXPECT_TRUE(QDir(home.filePath("Music/Quellor")).exists());

    writeUserDirs("XDG_MUSIC_DIR=\"$HOME/Tunes\"\nXDG_DOCUMENTS_DIR=\"$HOME/Papers\"\n");
    EXPECT_EQ(RecordingFolder::containerFolder(), home.filePath("Tunes/Quellor"));

    QFile blocker(home.filePath("Tunes/Quellor"));  // a file where the folder should be
    QDir(home.filePath("Tunes/Quellor")).removeRecursively();
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    EXPECT_EQ(RecordingFolder::containerFolder(), home.filePath("Papers"));
    EXPECT_TRUE(QDir(home.filePath("Papers")).exists());
}

TEST_F(RecordingFolderTest, ChosenFolderIsRememberedUntilItIsGone) {
    EXPECT_EQ(RecordingFolder::resolve(), std::nullopt);
    EXPECT_TRUE(logs.records("Recording").empty());

    const QString chosen = home.filePath("Takes");
    QDir().mkpath(chosen);
    EXPECT_EQ(RecordingFolder::choose([&] { return std::optional(chosen); }), chosen);
    EXPECT_EQ(RecordingFolder::resolve(), chosen);
    EXPECT_EQ(RecordingFolder::current(), chosen);

    // Cancelling keeps the choice; a folder that does not exist is not remembered.
    EXPECT_EQ(RecordingFolder::choose([] { return std::optional<QString>(); }), std::nullopt);
    RecordingFolder::storeBookmark(home.filePath("nowhere"));
    EXPECT_TRUE(logs.contains("Recording", LogLevel::Error, "Could not bookmark the chosen recording folder"));
    EXPECT_EQ(RecordingFolder::resolve(), chosen);

    // Deleted: every resolution says so once and falls back to the default folder.
    QDir(chosen).removeRecursively();
    const QString unresolved = "Recording folder bookmark could not be resolved; using the container";
    EXPECT_EQ(RecordingFolder::resolve(), std::nullopt);
    EXPECT_EQ(logs.count(unresolved), 1);
    EXPECT_EQ(RecordingFolder::current(), home.filePath("Music/Quellor"));
    EXPECT_EQ(logs.count(unresolved), 2);
}

TEST_F(RecordingFolderTest, RevealCreatesAndOpensTheFolder) {
    QString opened;
    RecordingFolder::reveal([&](const QString& folder) { opened = folder; });
    EXPECT_EQ(opened, home.filePath("Music/Quellor"));
    EXPECT_TRUE(QDir(opened).exists());

    QDir().mkpath(home.filePath("Takes"));
    RecordingFolder::storeBookmark(home.filePath("Takes"));
    RecordingFolder::reveal([&](const QString& folder) { opened = folder; });
    EXPECT_EQ(opened, home.filePath("Takes"));
}

}  // namespace
}  // namespace quellor
