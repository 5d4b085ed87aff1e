#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "TestEnvironment.h"
#include "recording/RecordingRetention.h"
#include "recording/RetentionPolicy.h"

namespace quellor {
namespace {

constexpr qint64 kGB = 1'000'000'000;
const QDateTime kDay(QDate(2025, 1, 1), QTime(12, 0), Qt::UTC);

class RecordingRetentionTest : public test::QuellorTest {
protected:
    // A sparse file of `bytes` modified `day` days after kDay.
    void make(const QString& name, qint64 bytes, int day) {
        QFile file(dir.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_TRUE(file.resize(bytes));
        ASSERT_TRUE(file.setFileTime(kDay.addDays(day), QFileDevice::FileModificationTime));
    }
    QStringList remaining() const { return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name); }

    QTemporaryDir dir;
};

TEST(RetentionPolicyTest, DeletesOldestFirstUntilTheRestFitsTheCap) {
    using Take = RetentionPolicy::Take;
    struct Case {
        const char* name;
        std::vector<Take> takes;
        qint64 cap;
        QStringList expected;
    };
    const Case cases[] = {
        {"three of 4 GB, cap 10 GB", {{"b", 4 * kGB, kDay.addDays(2)}, {"a", 4 * kGB, kDay}, {"c", 4 * kGB, kDay.addDays(3)}},
         10 * kGB, {"a"}},
        {"exactly at the cap", {{"a", 6 * kGB, kDay}, {"b", 4 * kGB, kDay.addDays(1)}}, 10 * kGB, {}},
        {"one larger than the cap", {{"a", 11 * kGB, kDay}}, 10 * kGB, {"a"}},
        {"equal dates keep their order", {{"y", 4 * kGB, kDay}, {"x", 4 * kGB, kDay}, {"z", 4 * kGB, kDay}}, 5 * kGB,
         {"y", "x"}},
        {"unknown date counts as oldest", {{"new", 4 * kGB, kDay}, {"old", 4 * kGB, QDateTime()}}, 5 * kGB, {"old"}},
        {"cap off", {{"a", 11 * kGB, kDay}}, 0, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(RetentionPolicy::takesToDelete(c.takes, c.cap), c.expected);
    }
}

TEST_F(RecordingRetentionTest, ListsOnlyRecordingsNewestFirst) {
    make("Quellor 1.wav", 10, 1);
    make("Quellor 3.WAV", 10, 3);
    make("Quellor 2.wav", 10, 2);
    make("quellor 4.wav", 10, 4);   // prefix in lower case
    make("Quellor5.wav", 10, 5);    // no blank after the word
    make("Quellor 6.aiff", 10, 6);
    make(".Quellor 7.80avg.peaks", 10, 7);
    make(".Quellor 8.wav", 10, 8);  // hidden
    QDir(dir.path()).mkdir("Quellor 9.wav");

    QStringList names;
    for (const auto& r : RecordingRetention::list(dir.path())) names << QFileInfo(r.path).fileName();
    EXPECT_EQ(names, (QStringList{"Quellor 3.WAV", "Quellor 2.wav", "Quellor 1.wav"}));
    EXPECT_TRUE(RecordingRetention::list(dir.filePath("missing")).empty());
}

TEST_F(RecordingRetentionTest, PruneDeletesTheOldestBeyondTheCapAndLogsEach) {
    make("Quellor a.wav", 4 * kGB, 1);
    make("Quellor b.wav", 4 * kGB, 2);
    make("Quellor c.wav", 4 * kGB, 3);
    make(".Quellor a.80avg.peaks", 80, 0);
    make(".Quellor c.80avg.peaks", 80, 0);
    RecordingRetention::prune(dir.path());  // cap absent: 10 GB
    // A pruned recording's waveform cache goes with it.
    EXPECT_EQ(remaining(), (QStringList{".Quellor c.80avg.peaks", "Quellor b.wav", "Quellor c.wav"}));
    EXPECT_TRUE(logs.contains("Retention", LogLevel::Info, "Pruned old recording: Quellor a.wav"));

    defaults().setInteger(RecordingRetention::kCapKey, 5);
    RecordingRetention::prune(dir.path());
    EXPECT_EQ(remaining(), (QStringList{".Quellor c.80avg.peaks", "Quellor c.wav"}));
    EXPECT_EQ(logs.records("Retention").size(), 2u);
}

TEST_F(RecordingRetentionTest, CapOfZeroNegativeOrWrongTypeIsHandled) {
    make("Quellor a.wav", 11 * kGB, 1);
    for (qint64 cap : {qint64(0), qint64(-3)}) {
        defaults().setInteger(RecordingRetention::kCapKey, cap);
        RecordingRetention::prune(dir.path());
        EXPECT_EQ(remaining().size(), 1);
    }
    defaults().setInteger(RecordingRetention::kCapKey, std::numeric_limits<qint64>::max());
    EXPECT_EQ(RecordingRetention::capBytes(), std::numeric_limits<qint64>::max());
    RecordingRetention::prune(dir.path());
    EXPECT_EQ(remaining().size(), 1);

    defaults().setString(RecordingRetention::kCapKey, "3");  // not an integer: the default 10
    EXPECT_EQ(RecordingRetention::capBytes(), 10 * kGB);
    RecordingRetention::prune(dir.path());
    EXPECT_TRUE(remaining().isEmpty());
}

}  // namespace
}  // namespace quellor
