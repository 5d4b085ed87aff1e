#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "TestEnvironment.h"
#include "base/AtomicFile.h"

#include <sys/file.h>

namespace quellor {
namespace {

QByteArray contents(const QString& path) {
    QByteArray data;
    return readWholeFile(path, data) ? data : QByteArray("<missing>");
}

void write(const QString& path, const QByteArray& data) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    ASSERT_EQ(f.write(data), data.size());
}

TEST(AtomicFile, AWriteThatRunsOutOfSpaceLeavesThePreviousFileWholeAndNoTemporaryFile) {
    QTemporaryDir dir;
    const QString existing = dir.filePath("defaults.json"), fresh = dir.filePath("new.json");
    const QByteArray old(3000, 'o');
    write(existing, old);
    {
        // Smaller than the new bytes: the write stops part-way, as on a full disk.
        test::FileSizeLimit full(4000);
        QString error;
        EXPECT_FALSE(writeFileAtomically(existing, QByteArray(5000, 'n'), &error));
        EXPECT_TRUE(error.startsWith(existing + ": ")) << error.toStdString();
        EXPECT_FALSE(writeFileAtomically(fresh, QByteArray(5000, 'n')));
    }
    EXPECT_EQ(contents(existing), old);
    EXPECT_FALSE(QFile::exists(fresh));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"defaults.json"});

    EXPECT_TRUE(writeFileAtomically(existing, "new"));
    EXPECT_EQ(contents(existing), "new");
}

TEST(AtomicFile, AReplacedFileKeepsItsPermissionsAndALinkStaysALink) {
    QTemporaryDir dir;
    const QString target = dir.filePath("real.json"), link = dir.filePath("link.json");
    write(target, "old");
    QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner);
    ASSERT_TRUE(QFile::link(target, link));

    ASSERT_TRUE(writeFileAtomically(link, "new"));
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(contents(target), "new");
    const auto modeBits = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup |
                          QFile::WriteGroup | QFile::ExeGroup | QFile::ReadOther | QFile::WriteOther | QFile::ExeOther;
    EXPECT_EQ(QFile::permissions(target) & modeBits, QFile::ReadOwner | QFile::WriteOwner);
}

TEST(AtomicFile, AFileKeptAsideMovesOutOfTheWayUnderAFreeName) {
    QTemporaryDir dir;
    const QString path = dir.filePath("sessions.json");
    write(path + ".unreadable", "older");
    write(path, "damaged");
    EXPECT_EQ(keepFileAside(path), path + ".unreadable.2");
    EXPECT_EQ(contents(path + ".unreadable.2"), "damaged");
    EXPECT_EQ(contents(path + ".unreadable"), "older");
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_EQ(keepFileAside(path), std::nullopt);  // nothing there any more
}

TEST(AtomicFile, AWriteRemovesTheTemporariesThatKilledWritesOfItsFileLeftAndNothingElse) {
    QTemporaryDir dir;
    const QString path = dir.filePath("sessions.json");
    const QStringList stale = {"sessions.json.tmp-0", "sessions.json.tmp-1f", "sessions.json.tmp-deadbeef"};
    const QStringList others = {
        "sessions.json",          "sessions.json.bak",          "sessions.json.unreadable",
        "sessions.json.tmp-",     "sessions.json.tmp-DEADBEEF", "sessions.json.tmp-123456789",
        "sessions.json.tmp-12g4", "sessions.json.bak.tmp-1f",   "defaults.json.tmp-1f",
        "xsessions.json.tmp-1f",  "sessions.json.tmp-1f.txt",
    };
    for (const QString& name : stale + others) write(dir.filePath(name), "bytes");
    ASSERT_TRUE(QDir().mkdir(dir.filePath("sessions.json.tmp-2a")));                          // not a file
    ASSERT_TRUE(QFile::link(dir.filePath("defaults.json.tmp-1f"), dir.filePath("sessions.json.tmp-3b")));  // nor this
    QStringList kept = others;
    kept << "sessions.json.tmp-2a" << "sessions.json.tmp-3b";
    kept.sort();
    auto listing = [&] {
        auto names = QDir(dir.path()).entryList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot);
        names.sort();
        return names;
    };

    ASSERT_TRUE(writeFileAtomically(path, "new"));
    EXPECT_EQ(listing(), kept);
    EXPECT_EQ(contents(path), "new");

    // A temporary whose write is still going on (its writer holds it locked) stays.
    for (const QString& name : stale) write(dir.filePath(name), "bytes");
    QFile busy(dir.filePath(stale[0]));
    ASSERT_TRUE(busy.open(QIODevice::ReadOnly));
    ASSERT_EQ(::flock(busy.handle(), LOCK_EX), 0);
    EXPECT_EQ(removeStaleTemporaries(path), 2);
    EXPECT_TRUE(QFile::exists(busy.fileName()));
    busy.close();
    EXPECT_EQ(removeStaleTemporaries(path), 1);
    EXPECT_EQ(listing(), kept);
}

}  // namespace
}  // namespace quellor
