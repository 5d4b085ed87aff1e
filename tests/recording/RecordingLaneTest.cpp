#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <barrier>
#include <future>
#include <thread>

#include "TestEnvironment.h"
#include "WavFiles.h"
#include "recording/RecordingLane.h"

namespace quellor {
namespace {

constexpr double kRate = 48000;
constexpr qint64 kRing = RecordingLane::kRingFrames;

// A recognisable value per frame position, exact in float: left = position, right = -position.
std::vector<float> ramp(qint64 first, qint64 frames) {
    std::vector<float> out(size_t(2 * frames));
    for (qint64 i = 0; i < frames; ++i) {
        out[size_t(2 * i)] = float(first + i);
        out[size_t(2 * i + 1)] = -float(first + i);
    }
    return out;
}

std::vector<float> constant(qint64 frames, float value) { return std::vector<float>(size_t(2 * frames), value); }

class RecordingLaneTest : public test::QuellorTest {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }
    QString take(const char* name = "Quellor take.wav") { return dir.filePath(name); }

    // Produces frames [first, first + frames) of the ramp in IO-sized blocks.
    void produceRamp(RecordingLane& lane, qint64 first, qint64 frames, int block = 512) {
        for (qint64 at = first; at < first + frames; at += block) {
            const int n = int(std::min<qint64>(block, first + frames - at));
            const auto data = ramp(at, n);
            lane.addFramesAt(at, data.data(), n);
        }
    }

    QTemporaryDir dir;
};

TEST_F(RecordingLaneTest, StartAndStopAreIdempotent) {
    RecordingLane lane("MAIN", true);
    lane.stop();
    EXPECT_TRUE(logs.records("RecordingLane").empty());

    lane.start(1000, kRate);
    const auto block = constant(100, 0.5f);
    lane.addFramesAt(0, block.data(), 100);
    lane.start(5000, 96000);  // already armed: nothing changes
    EXPECT_EQ(lane.sampleRate(), kRate);
    EXPECT_EQ(lane.highWater(), 100);
    EXPECT_EQ(lane.framePosition(1000 + 1'000'000'000).frame, 48000);  // still placed from the first start
    lane.stop();
    EXPECT_FALSE(lane.isArmed());
}

TEST_F(RecordingLaneTest, ProducerPlacesFramesByHostTime) {
    RecordingLane lane("MAIN", true);
    const std::uint64_t start = 5'000'000'000ULL;
    lane.start(start, kRate);
    const auto data = ramp(0, 10);
    lane.addFrames(start + 500'000'000ULL, data.data(), 10);  // half a second in
    EXPECT_EQ(lane.highWater(), 24010);
    lane.addFrames(start - 1'000'000ULL, data.data(), 10);  // before the start: dropped
    ASSERT_TRUE(lane.openTake(take(), true));
    lane.close(0, true);
    const auto file = test::readWav(take());
    ASSERT_EQ(file.frames(), 24010);
    EXPECT_EQ(file.samples[2 * 24000], 0.0f);
    EXPECT_EQ(file.samples[2 * 24009], 9.0f);
    EXPECT_EQ(file.samples[2 * 23999], 0.0f);
}

TEST_F(RecordingLaneTest, DrainWithNothingProducedDoesNothing) {
    RecordingLane lane("MAIN", true);
    lane.start(0, kRate);
    for (bool final : {false, true}) {
        lane.drainNow(final);
        const auto s = lane.state();
        EXPECT_EQ(s.drainedUpTo, 0);
        EXPECT_EQ(s.preRollWrite, 0);
    }
}

TEST_F(RecordingLaneTest, TimerDrainsOneSecondBehindTheProducer) {
    RecordingLane lane("MAIN", true);
    lane.start(0, kRate);
    ASSERT_TRUE(lane.openTake(take(), false));
    produceRamp(lane, 0, 3 * 48000);
    advance(0.24);
    EXPECT_EQ(lane.state().clipFrames, 0);
    advance(0.01);
    EXPECT_EQ(lane.state().drainedUpTo, 2 * 48000);
    EXPECT_EQ(lane.state().clipFrames, 2 * 48000);
    EXPECT_EQ(lane.state().bytesWritten, 8 * 2 * 48000);
    lane.stop();  // closes the take with a final drain
    EXPECT_EQ(test::readWav(take()).frames(), 3 * 48000);
    EXPECT_EQ(test::readWav(take()).samples, ramp(0, 3 * 48000));
}

TEST_F(RecordingLaneTest, RingWrapsManyTimesWithoutLosingOrRepeatingFrames) {
    RecordingLane lane("MAIN", false);
    lane.start(0, kRate);
    ASSERT_TRUE(lane.openTake(take(), false));
    const qint64 total = 3 * kRing + 12345;
    for (qint64 at = 0; at < total; at += 24000) {
        produceRamp(lane, at, std::min<qint64>(24000, total - at));
        lane.drainNow(false);
    }
    lane.close(0, true);
    const auto file = test::readWav(take());
    ASSERT_EQ(file.frames(), total);
    EXPECT_EQ(file.samples, ramp(0, total));
}

TEST_F(RecordingLaneTest, OverrunSkipsToTheLastRingAndNeverMixesOldFramesIntoNewOnes) {
    RecordingLane lane("MAIN", true);
    lane.start(0, kRate);
    ASSERT_TRUE(lane.openTake(take(), false));
    // The writer falls behind: 500,000 frames arrive without a drain. Frames a whole ring ahead of
    // the drain position have nowhere to go without landing on frames not yet written.
    produceRamp(lane, 0, 500000);
    EXPECT_EQ(lane.highWater(), 500000);
    lane.drainNow(false);
    EXPECT_EQ(lane.state().drainedUpTo, 452000);
    EXPECT_EQ(lane.state().clipFrames, 452000 - 68000);
    lane.close(0, true);

    const auto file = test::readWav(take());
    ASSERT_EQ(file.frames(), 500000 - 68000);
    std::vector<float> expected = ramp(68000, kRing - 68000);  // frames 68,000 ... 383,999 kept
    expected.resize(size_t(2 * (500000 - 68000)), 0.0f);       // the dropped frames are silence
    EXPECT_EQ(file.samples, expected);
}

TEST_F(RecordingLaneTest, ConcurrentProducersSumIntoTheSameFrames) {
    RecordingLane lane("MAIN", true);
    lane.start(0, kRate);
    ASSERT_TRUE(lane.openTake(take(), false));
    constexpr int kProducers = 4;
    constexpr int kBlock = 480;
    constexpr qint64 kFrames = 2 * kRing + 4800;  // wraps the ring twice while the writer drains
    // The taps' IO cycles run at about the same time. Real taps never run a whole ring ahead of the
    // writer (it drains every 250 ms); on a loaded machine these threads could, so between steps they
    // wait until the writer has released the next block.
    std::atomic<qint64> drained{0};
    qint64 step = 0;
    std::barrier inStep(kProducers, [&]() noexcept {
        const qint64 next = ++step * kBlock;
        while (next + kBlock > drained.load() + kRing) std::this_thread::yield();
    });
    std::atomic<int> running{kProducers};
    std::vector<std::thread> producers;
    for (int p = 0; p < kProducers; ++p) {
        producers.emplace_back([&, p] {
            // Powers of two: every order of summing gives the exact same float.
            const auto block = constant(kBlock, float(1 << p));
            for (qint64 at = 0; at < kFrames; at += kBlock) {
                lane.addFramesAt(at, block.data(), kBlock);
                inStep.arrive_and_wait();
            }
            running.fetch_sub(1);
        });
    }
    while (running.load() > 0) {
        lane.drainNow(false);
        drained.store(lane.state().drainedUpTo);
    }
    for (auto& t : producers) t.join();
    lane.close(0, true);

    const auto file = test::readWav(take());
    ASSERT_EQ(file.frames(), kFrames);
    const qint64 wrong = std::count_if(file.samples.begin(), file.samples.end(), [](float v) { return v != 15.0f; });
    EXPECT_EQ(wrong, 0);
    EXPECT_TRUE(lane.heardAnything());
    EXPECT_EQ(lane.signalPeak(), 8.0f);
}

TEST_F(RecordingLaneTest, PreRollHoldsThreeSecondsAtTheCaptureRate) {
    for (double rate : {48000.0, 96000.0, 192000.0}) {
        SCOPED_TRACE(rate);
        RecordingLane lane("MAIN", true);
        lane.start(0, rate);
        const qint64 second = qint64(rate);
        for (qint64 s = 0; s < 5; ++s) {
            produceRamp(lane, s * second, second, 4096);
            lane.drainNow(false);
        }
        lane.drainNow(true);
        const auto state = lane.state();
        EXPECT_EQ(state.preRollWrite, 5 * second);
        EXPECT_EQ(state.preRollFilled, 3 * second);
        EXPECT_EQ(lane.preRollFrames(), ramp(2 * second, 3 * second));
    }
}

TEST_F(RecordingLaneTest, TakeOpensWithThePreRollOrAtTheCurrentPosition) {
    for (bool withPreRoll : {true, false}) {
        SCOPED_TRACE(withPreRoll);
        QDir(dir.path()).removeRecursively();
        QDir().mkpath(dir.path());
        RecordingLane lane("MAIN", true);
        lane.start(0, kRate);
        produceRamp(lane, 0, 5 * 48000);
        lane.drainNow(false);
        ASSERT_TRUE(lane.openTake(take(), withPreRoll));
        const qint64 start = withPreRoll ? 2 * 48000 : 5 * 48000;
        EXPECT_EQ(lane.takeStartFrame(), start);
        produceRamp(lane, 5 * 48000, 48000);
        lane.close(0, true);
        EXPECT_EQ(test::readWav(take()).samples, ramp(start, 6 * 48000 - start));
    }
}

TEST_F(RecordingLaneTest, CloseKeepsAllOrCutsTheTakeAtTheEndFrame) {
    struct Case {
        bool keepAll;
        qint64 endFrame;
        qint64 kept;
    };
    const Case cases[] = {{true, 0, 48000}, {false, 12000, 12000}, {false, 0, 0}, {false, 999999, 48000}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.endFrame);
        QFile::remove(take());
        RecordingLane lane("MAIN", true);
        lane.start(0, kRate);
        ASSERT_TRUE(lane.openTake(take(), false));
        produceRamp(lane, 0, 48000);
        lane.close(c.endFrame, c.keepAll);
        EXPECT_FALSE(lane.hasOpenTake());
        const auto file = test::readWav(take());
        EXPECT_EQ(file.frames(), c.kept);
        EXPECT_EQ(file.samples, ramp(0, c.kept));
        EXPECT_TRUE(logs.contains("RecordingLane", LogLevel::Debug, QString("Lane closed, %1 frames kept").arg(c.kept)));
    }
}

TEST_F(RecordingLaneTest, SilentTakeIsDiscardedAndHeardTakeKept) {
    for (float level : {0.001f, 0.0011f}) {
        SCOPED_TRACE(level);
        QFile::remove(take());
        RecordingLane lane("MAIN", true);
        lane.start(0, kRate);
        ASSERT_TRUE(lane.openTake(take(), false));
        const auto block = constant(4800, level);
        lane.addFramesAt(0, block.data(), 4800);
        lane.close(0, true);
        const bool heard = level > RecordingLane::kSignalLevel;
        EXPECT_EQ(lane.discardIfSilent(), !heard);
        EXPECT_EQ(QFileInfo::exists(take()), heard);
        EXPECT_EQ(lane.state().url.isEmpty(), !heard);
    }
}

TEST_F(RecordingLaneTest, SizeCeilingStopsTheFileAndAsksForOneStop) {
    RecordingLane lane("MAIN", true, 8 * 48000);  // one second of sample data
    std::vector<int> requests;
    lane.setSizeCeilingHandler([&](int serial) { requests.push_back(serial); });
    lane.start(0, kRate);
    ASSERT_TRUE(lane.openTake(take(), false));
    const QString ceiling = "Recording reached WAV's 4 GB ceiling; closing the take";

    produceRamp(lane, 0, 2 * 48000 - 1);
    lane.drainNow(false);  // 47,999 frames: below the ceiling
    scheduler().runPending();
    EXPECT_TRUE(requests.empty());

    produceRamp(lane, 2 * 48000 - 1, 2 * 48000 + 1);
    lane.drainNow(false);  // one frame more reaches the ceiling; the rest waits for the next take
    lane.drainNow(false);  // nothing new: no drain, no request
    produceRamp(lane, 4 * 48000, 100);
    lane.drainNow(false);
    scheduler().runPending();
    EXPECT_EQ(requests, (std::vector<int>{1}));
    EXPECT_EQ(logs.count(ceiling), 1);
    auto state = lane.state();
    EXPECT_TRUE(state.stoppedAtSizeLimit);
    EXPECT_EQ(state.bytesWritten, 8 * 48000);
    EXPECT_EQ(state.preRollWrite, 2 * 48000 + 100);

    lane.close(0, true);  // the final drain adds nothing either
    scheduler().runPending();
    EXPECT_EQ(requests.size(), 1u);
    EXPECT_EQ(test::readWav(take()).samples, ramp(0, 48000));

    // The next take is measured afresh.
    ASSERT_TRUE(lane.openTake(take("Quellor second.wav"), false));
    produceRamp(lane, 4 * 48000 + 100, 3 * 48000);
    lane.drainNow(false);
    scheduler().runPending();
    EXPECT_EQ(requests, (std::vector<int>{1, 2}));
    lane.close(0, true);
}

TEST_F(RecordingLaneTest, FailedWritesKeepTheFramesAreLoggedOnceAndTheRetryWritesTheSame) {
    RecordingLane lane("MAIN", true);
    lane.start(0, kRate);
    ASSERT_TRUE(lane.openTake(take(), false));
    produceRamp(lane, 0, 4 * 48000);

    // Let the file grow by 1,000 frames and 3 bytes only: the drain's write fails part-way, and so
    // does every drain after it while the disk stays full.
    const qint64 header = QFileInfo(take()).size();
    {
        test::FileSizeLimit full(header + 8 * 1000 + 3);
        for (int i = 0; i < 3; ++i) lane.drainNow(false);
    }

    const auto records = logs.records("RecordingLane");
    EXPECT_EQ(std::count_if(records.begin(), records.end(), [](auto& r) { return r.level == LogLevel::Error; }), 1);
    EXPECT_TRUE(logs.containsText("Recording write failed: "));
    EXPECT_EQ(lane.state().drainedUpTo, 0);
    EXPECT_EQ(lane.state().clipFrames, 0);

    lane.drainNow(false);
    EXPECT_EQ(lane.state().clipFrames, 3 * 48000);
    EXPECT_TRUE(logs.contains("RecordingLane", LogLevel::Info, "Recording writes succeed again"));
    lane.close(0, true);
    const auto file = test::readWav(take());
    ASSERT_EQ(file.frames(), 4 * 48000);
    EXPECT_EQ(file.samples, ramp(0, 4 * 48000));
}

TEST_F(RecordingLaneTest, APreRollThatCannotBeWrittenIsReportedAndTheTakeStartsNow) {
    RecordingLane lane("MAIN", true);
    lane.start(0, kRate);
    produceRamp(lane, 0, 2 * 48000);
    lane.drainNow(true);  // two seconds in the pre-roll
    {
        test::FileSizeLimit full(4096);  // room for the header, not for the pre-roll
        ASSERT_TRUE(lane.openTake(take(), true));
    }
    EXPECT_TRUE(logs.containsText("Recording write failed: "));
    EXPECT_EQ(lane.takeStartFrame(), 2 * 48000);
    produceRamp(lane, 2 * 48000, 48000);
    lane.close(0, true);
    EXPECT_EQ(test::readWav(take()).samples, ramp(2 * 48000, 48000));
}

TEST_F(RecordingLaneTest, TheHeaderOfAnOpenTakeDescribesWhatHasBeenWritten) {
    RecordingLane lane("MAIN", true);
    lane.start(0, kRate);
    ASSERT_TRUE(lane.openTake(take(), false));
    produceRamp(lane, 0, 3 * 48000);
    lane.drainNow(false);  // two seconds written, the take still open

    // Read as a crash would leave it: the file plays to the last drain.
    const auto file = test::readWav(take());
    ASSERT_EQ(file.frames(), 2 * 48000);
    EXPECT_EQ(file.samples, ramp(0, 2 * 48000));
    lane.close(0, true);
}

TEST_F(RecordingLaneTest, FramesPlacedInAnEarlierCaptureAreDropped) {
    RecordingLane lane("MAIN", true);
    lane.start(0, kRate);
    const CapturePosition late = lane.framePosition(10'000'000'000ULL);  // ten seconds in
    lane.stop();
    lane.start(0, kRate);

    // A producer that computed its position before the stop adds it after the start.
    const auto loud = constant(512, 0.5f);
    lane.addFramesAt(late, loud.data(), 512);
    EXPECT_EQ(lane.highWater(), 0);
    EXPECT_EQ(lane.lastSignalFrame(), -1);
    EXPECT_FALSE(lane.heardAnything());

    lane.addFramesAt(lane.framePosition(0), loud.data(), 512);
    EXPECT_EQ(lane.highWater(), 512);
    EXPECT_TRUE(lane.heardAnything());
    lane.stop();
}

TEST_F(RecordingLaneTest, AWriterThatHangsHasAtMostOneDrainWaiting) {
    RecordingLane lane("MAIN", true);
    lane.start(0, kRate);
    std::promise<void> diskBack, writerBlocked;
    lane.runOnWriter([done = diskBack.get_future().share(), &writerBlocked] {
        writerBlocked.set_value();
        done.wait();
    });
    // Only the job the writer is stuck in is off the queue: wait until it has begun.
    writerBlocked.get_future().wait();
    advance(10);  // forty timer ticks
    EXPECT_EQ(lane.writerBacklog(), 1u);
    diskBack.set_value();
    lane.stop();
    EXPECT_EQ(lane.writerBacklog(), 0u);
}

TEST_F(RecordingLaneTest, TakeCannotBeOpenedTwiceOrWhileUnarmedOrInAMissingFolderOrOnAFullDisk) {
    RecordingLane lane("MAIN", true);
    EXPECT_FALSE(lane.openTake(take(), false));
    lane.start(0, kRate);
    EXPECT_FALSE(lane.openTake(dir.filePath("missing/Quellor x.wav"), false));
    EXPECT_TRUE(logs.containsText("Could not create recording"));
    {
        test::FileSizeLimit full(0);  // the file can be made, its header cannot be written
        EXPECT_FALSE(lane.openTake(take(), false));
    }
    EXPECT_FALSE(QFileInfo::exists(take()));  // no empty file left behind
    ASSERT_TRUE(lane.openTake(take(), false));
    EXPECT_FALSE(lane.openTake(take("Quellor other.wav"), false));
    EXPECT_EQ(lane.takeSerial(), 1);
}

// A take's folder vanishes mid-take, in the ways a user or the system can make it vanish. The writer
// notices at its next drain, copies what the vanished file holds through its open descriptor into a
// new file and goes on there: the kept file is a WAV that holds the whole take.
TEST_F(RecordingLaneTest, ATakeWhoseFolderVanishesIsKeptWholeInANewFile) {
    struct Case {
        const char* name;
        std::function<void(const QString& folder)> vanish;
        const char* keptIn;  // relative to the test folder
    };
    const std::vector<Case> cases{
        {"folder removed: made again", [](const QString& folder) { QDir(folder).removeRecursively(); },
         "takes/Quellor take.wav"},
        {"folder replaced by a file: the rescue folder",
         [](const QString& folder) {
             QDir(folder).removeRecursively();
             QFile file(folder);
             ASSERT_TRUE(file.open(QIODevice::WriteOnly));
         },
         "rescue/Quellor take.wav"},
        {"file removed and another made in its place: left alone",
         [](const QString& folder) {
             QFile::remove(folder + "/Quellor take.wav");
             ASSERT_TRUE(test::writeWav(folder + "/Quellor take.wav", {1, 1}));
         },
         "takes/Quellor take 2.wav"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir root;
        const QString folder = root.filePath("takes");
        ASSERT_TRUE(QDir().mkpath(folder));
        RecordingLane lane("MAIN", true);
        lane.setRescueFolder(root.filePath("rescue"));
        std::vector<RecordingLane::Rescue> reports;
        lane.setRescueHandler([&](const RecordingLane::Rescue& r) { reports.push_back(r); });
        lane.start(0, kRate);
        ASSERT_TRUE(lane.openTake(folder + "/Quellor take.wav", false));
        produceRamp(lane, 0, 3 * 48000);
        lane.drainNow(false);  // two seconds written
        c.vanish(folder);
        produceRamp(lane, 3 * 48000, 2 * 48000);
        lane.drainNow(false);
        const QString kept = root.filePath(c.keptIn);
        EXPECT_EQ(lane.takePath(), kept);
        produceRamp(lane, 5 * 48000, 48000);
        lane.close(0, true);
        scheduler().runPending();

        const auto file = test::readWav(kept);
        EXPECT_EQ(file.sampleRate, 48000);
        ASSERT_EQ(file.frames(), 6 * 48000);
        EXPECT_EQ(file.samples, ramp(0, 6 * 48000));
        ASSERT_EQ(reports.size(), 1u);
        EXPECT_EQ(reports[0].vanishedPath, folder + "/Quellor take.wav");
        EXPECT_EQ(reports[0].keptPath, kept);
        EXPECT_FALSE(reports[0].lost);
        EXPECT_TRUE(logs.containsText("Recording " + folder + "/Quellor take.wav vanished during the take"));
        EXPECT_TRUE(logs.containsText("Recording " + folder + "/Quellor take.wav kept in " + kept));
    }
}

// While no new file can be made, the take goes on in the vanished file; it is kept as soon as one
// can be made, and a take that closes before then is reported lost, its old path left alone.
TEST_F(RecordingLaneTest, ATakeThatCannotBeKeptYetIsKeptLaterOrReportedLostAtClose) {
    for (const bool obstacleCleared : {true, false}) {
        SCOPED_TRACE(obstacleCleared ? "kept later" : "lost");
        QTemporaryDir root;
        const QString folder = root.filePath("takes");
        ASSERT_TRUE(QDir().mkpath(folder));
        ASSERT_TRUE(test::writeWav(root.filePath("not a folder"), {1, 1}));
        RecordingLane lane("MAIN", true);
        lane.setRescueFolder(root.filePath("not a folder/rescue"));
        std::vector<RecordingLane::Rescue> reports;
        lane.setRescueHandler([&](const RecordingLane::Rescue& r) { reports.push_back(r); });
        lane.start(0, kRate);
        const QString path = folder + "/Quellor take.wav";
        ASSERT_TRUE(lane.openTake(path, false));
        produceRamp(lane, 0, 3 * 48000);
        lane.drainNow(false);
        ASSERT_TRUE(QDir(folder).removeRecursively());
        QFile obstacle(folder);
        ASSERT_TRUE(obstacle.open(QIODevice::WriteOnly));
        obstacle.close();
        for (int i = 0; i < 3; ++i) {
            produceRamp(lane, (3 + i) * 48000, 48000);
            lane.drainNow(false);
        }
        scheduler().runPending();
        ASSERT_EQ(reports.size(), 1u);
        EXPECT_TRUE(reports[0].keptPath.isEmpty());
        const auto records = logs.records("RecordingLane");
        EXPECT_EQ(std::count_if(records.begin(), records.end(),
                                [&](auto& r) { return r.text.startsWith("No file could be made to keep recording " + path); }),
                  1);
        if (obstacleCleared) ASSERT_TRUE(QFile::remove(folder));
        lane.close(0, true);
        scheduler().runPending();
        ASSERT_EQ(reports.size(), 2u);
        if (obstacleCleared) {
            EXPECT_EQ(reports[1].keptPath, path);
            EXPECT_EQ(test::readWav(path).samples, ramp(0, 6 * 48000));
        } else {
            EXPECT_TRUE(reports[1].lost);
            EXPECT_TRUE(logs.containsText("Recording " + path + " lost: no file could be made to keep it"));
            EXPECT_EQ(QFileInfo(folder).size(), 0);  // the file in the folder's place is untouched
            EXPECT_TRUE(lane.takePath().isEmpty());
        }
    }
}

}  // namespace
}  // namespace quellor
