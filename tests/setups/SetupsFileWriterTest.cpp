#include <QTemporaryDir>
#include <atomic>
#include <thread>

#include "Gate.h"
#include "TestEnvironment.h"
#include "setups/MixSessionStore.h"
#include "setups/SetupsFileWriter.h"

namespace quellor {
namespace {

MixSessionFile named(const QString& name) {
    MixSession s;
    s.name = name;
    return MixSessionFile{s.id, {s}};
}

QString nameOf(const MixSessionFile& file) { return file.sessions.empty() ? QString() : file.sessions[0].name; }

// The first write is held on the writer thread while the main thread hands over two more: the main
// thread is never held, the one still waiting is replaced by the newest, and the newest is written
// last, so an older content finishing late never overwrites it.
TEST(SetupsFileWriterTest, WritesOffTheCallersThreadAndTheNewestContentWinsOnDisk) {
    QTemporaryDir dir;
    const MixSessionStore store(dir.filePath("sessions.json"));
    test::Gate firstWrite;
    std::vector<QString> written;  // by the writer thread, read here only once it is idle
    std::thread::id writerThread;
    std::atomic<int> reports = 0;
    {
        SetupsFileWriter writer(
            [&](const MixSessionFile& file, QString* error) {
                writerThread = std::this_thread::get_id();
                if (written.empty()) firstWrite.enterAndWait();
                written.push_back(nameOf(file));
                return store.save(file, error);
            },
            [&] { ++reports; });
        EXPECT_EQ(writer.write(named("A")), 1u);
        ASSERT_TRUE(firstWrite.waitUntilEntered());
        EXPECT_TRUE(writer.busy());
        EXPECT_EQ(writer.write(named("B")), 2u);
        EXPECT_EQ(writer.write(named("C")), 3u);
        firstWrite.release();
        writer.waitUntilIdle();
        EXPECT_FALSE(writer.busy());
        EXPECT_NE(writerThread, std::this_thread::get_id());
        EXPECT_EQ(written, (std::vector<QString>{"A", "C"}));
        EXPECT_EQ(nameOf(*store.load().file), "C");
        EXPECT_EQ(nameOf(*json::decode<MixSessionFile>(*MixSessionStore::readAll(store.backupPath()))), "A");
        const auto outcomes = writer.takeOutcomes();
        ASSERT_EQ(outcomes.size(), 2u);
        EXPECT_EQ(outcomes[0].generation, 1u);
        EXPECT_EQ(outcomes[1].generation, 3u);
        EXPECT_TRUE(outcomes[0].ok && outcomes[1].ok);
        EXPECT_TRUE(writer.takeOutcomes().empty());

        // What is handed over just before the writer goes is written before it goes.
        writer.write(named("D"));
    }
    EXPECT_EQ(nameOf(*store.load().file), "D");
    EXPECT_EQ(reports, 3);
}

TEST(SetupsFileWriterTest, AFailedWriteIsReportedWithItsReason) {
    SetupsFileWriter writer(
        [](const MixSessionFile&, QString* error) {
            *error = "disk full";
            return false;
        },
        {});
    writer.write(named("A"));
    writer.waitUntilIdle();
    const auto outcomes = writer.takeOutcomes();
    ASSERT_EQ(outcomes.size(), 1u);
    EXPECT_FALSE(outcomes[0].ok);
    EXPECT_EQ(outcomes[0].error, "disk full");
}

}  // namespace
}  // namespace quellor
