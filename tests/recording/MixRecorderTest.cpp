#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include "TestEnvironment.h"
#include "WavFiles.h"
#include "recording/MixRecorder.h"
#include "recording/RecordingFolder.h"

namespace quellor {
namespace {

constexpr qint64 kSecond = 48000;

class MixRecorderTest : public test::QuellorTest {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        RecordingFolder::storeBookmark(dir.path());
    }

    // The MAIN mix for `seconds`, in IO-sized blocks, with the writer's timer running in between and,
    // with auto-record on, the meter clock ticking, as in the running program.
    void play(MixRecorder& recorder, double seconds, float level, bool autoRecord = true) {
        const qint64 frames = qint64(seconds * kSecond);
        const std::vector<float> block(2 * 1600, level);
        for (qint64 done = 0; done < frames; done += 1600) {
            recorder.mainLane().addFramesAt(position, block.data(), 1600);
            position += 1600;
            advance(1.0 / 30);
            recorder.mainLane().state();  // the test produces faster than real time: let the writer keep up
            if (autoRecord) recorder.autoRecordTick();
        }
    }

    QStringList takes() const { return QDir(dir.path()).entryList({"Quellor *.wav"}, QDir::Files, QDir::Name); }

    QTemporaryDir dir;
    qint64 position = 0;
    std::uint64_t clock = 1'000'000'000ULL;
    MixRecorder recorder{[this] { return clock += 1000; }};
};

TEST_F(MixRecorderTest, CaptureStartsOnceAndStopsOnce) {
    recorder.stopCapture();
    EXPECT_TRUE(logs.records("MixRecorder").empty());

    recorder.startCapture(44100);
    const auto started = recorder.startHostTime();
    recorder.startCapture(96000);
    EXPECT_EQ(recorder.sampleRate(), 44100);
    EXPECT_EQ(recorder.startHostTime(), started);
    EXPECT_EQ(recorder.mainLane().sampleRate(), 44100);
    EXPECT_EQ(logs.count("Capture running @ 44100.000000 Hz"), 1);

    recorder.closeTake(0, true);  // no take: nothing, not even a log line
    EXPECT_FALSE(logs.containsText("Recording closed"));
    recorder.stopCapture();
    recorder.stopCapture();
    EXPECT_FALSE(recorder.isCapturing());
    EXPECT_FALSE(recorder.mainLane().isArmed());
    EXPECT_EQ(logs.count("Capture stopped"), 1);
}

TEST_F(MixRecorderTest, TakesAreNamedByTimeAndMadeUnique) {
    const QDateTime when(QDate(2025, 3, 4), QTime(5, 6, 7));
    const QString first = MixRecorder::uniqueTakePath(dir.path(), when);
    EXPECT_EQ(QFileInfo(first).fileName(), "Quellor 2025-03-04 05-06-07.wav");
    QFile(first).open(QIODevice::WriteOnly);
    const QString second = MixRecorder::uniqueTakePath(dir.path(), when);
    EXPECT_EQ(QFileInfo(second).fileName(), "Quellor 2025-03-04 05-06-07 2.wav");
    QFile(second).open(QIODevice::WriteOnly);
    EXPECT_EQ(QFileInfo(MixRecorder::uniqueTakePath(dir.path(), when)).fileName(), "Quellor 2025-03-04 05-06-07 3.wav");
}

TEST_F(MixRecorderTest, TakeWithoutCaptureOrWhileOneIsOpenIsRefused) {
    EXPECT_FALSE(recorder.openTake(dir.path()));
    recorder.startCapture(kSecond);
    const auto take = recorder.openTake(dir.path());
    ASSERT_TRUE(take);
    EXPECT_TRUE(QFileInfo(*take).fileName().startsWith("Quellor "));
    EXPECT_FALSE(recorder.openTake(dir.path()));
    EXPECT_EQ(recorder.recordingFile(), take);
}

TEST_F(MixRecorderTest, EachTakeStartsUnheardAndASilentOneIsRemoved) {
    recorder.startCapture(kSecond);
    ASSERT_TRUE(recorder.openTake(dir.path()));
    play(recorder, 1, 0.5f, false);
    recorder.closeTake(0, true);
    EXPECT_TRUE(logs.contains("MixRecorder", LogLevel::Info, "Recording closed"));
    ASSERT_EQ(takes().size(), 1);

    // The signal of the first take does not count for the second.
    const auto second = recorder.openTake(dir.path());
    ASSERT_TRUE(second);
    EXPECT_FALSE(recorder.mainLane().heardAnything());
    play(recorder, 2, 0.0f, false);
    recorder.closeTake(0, true);
    EXPECT_FALSE(QFileInfo::exists(*second));
    EXPECT_TRUE(logs.contains("RecordingLane", LogLevel::Debug, "Discarded silent lane: MAIN"));
    EXPECT_EQ(logs.count("Recording closed"), 2);
    EXPECT_EQ(recorder.recordingFile(), second);  // kept after the close
    EXPECT_EQ(takes().size(), 1);
}

TEST_F(MixRecorderTest, AHeardTakeCutBackToNoMoreThanItsHeaderIsRemoved) {
    // Cut to `kept` frames: a header alone is at most 128 bytes and goes, sixteen frames more stay.
    for (qint64 kept : {qint64(0), qint64(16)}) {
        SCOPED_TRACE(kept);
        position = 0;
        recorder.startCapture(kSecond);
        const auto take = recorder.openTake(dir.path());
        ASSERT_TRUE(take);
        play(recorder, 1, 0.5f, false);
        recorder.closeTake(recorder.mainLane().takeStartFrame() + kept, false);
        EXPECT_EQ(QFileInfo::exists(*take), kept > 0);
        EXPECT_EQ(logs.count("Recording closed, nothing was heard: file removed"), 1);
        EXPECT_FALSE(logs.contains("RecordingLane", LogLevel::Debug, "Discarded silent lane: MAIN"));
        recorder.stopCapture();
        QFile::remove(*take);
    }
}

TEST_F(MixRecorderTest, AutoRecordOpensOnSignalWithPreRollAndClosesAfterSilence) {
    recorder.startCapture(kSecond);
    play(recorder, 5, 0.0f);
    EXPECT_FALSE(recorder.isTakeOpen());

    play(recorder, 2, 0.25f);
    ASSERT_TRUE(recorder.isAutoTake());
    const QString first = *recorder.recordingFile();
    const qint64 takeStart = recorder.mainLane().takeStartFrame();
    EXPECT_EQ(takeStart, 5 * kSecond + 1600 - 3 * kSecond);  // three seconds before the first tick with signal

    play(recorder, MixRecorder::kAutoTakeSilenceSeconds - 0.1, 0.0f);
    EXPECT_TRUE(recorder.isTakeOpen());
    play(recorder, 0.2, 0.0f);
    EXPECT_FALSE(recorder.isTakeOpen());

    // The take runs from the pre-roll to two seconds after the last signal.
    const auto file = test::readWav(first);
    const qint64 signalStart = 5 * kSecond - takeStart;
    ASSERT_EQ(file.frames(), 7 * kSecond + qint64(MixRecorder::kAutoTakeTailSeconds * kSecond) - takeStart);
    EXPECT_EQ(file.samples[size_t(2 * (signalStart - 1))], 0.0f);
    EXPECT_EQ(file.samples[size_t(2 * signalStart)], 0.25f);
    EXPECT_EQ(file.samples[size_t(2 * (signalStart + 2 * kSecond - 1))], 0.25f);
    EXPECT_EQ(file.samples.back(), 0.0f);

    play(recorder, 3, 0.0f);  // silence opens nothing
    EXPECT_FALSE(recorder.isTakeOpen());
    play(recorder, 0.1, 0.25f);  // the next signal opens a new take
    ASSERT_TRUE(recorder.isAutoTake());
    EXPECT_NE(*recorder.recordingFile(), first);
    EXPECT_EQ(takes().size(), 2);
}

TEST_F(MixRecorderTest, AutoRecordLeavesAManualTakeOpenThroughSilence) {
    recorder.startCapture(kSecond);
    ASSERT_TRUE(recorder.openTake(dir.path()));
    play(recorder, 0.5, 0.25f);
    play(recorder, 2 * MixRecorder::kAutoTakeSilenceSeconds, 0.0f);
    EXPECT_TRUE(recorder.isTakeOpen());
    EXPECT_FALSE(recorder.isAutoTake());
}

TEST_F(MixRecorderTest, RecordingStartedDuringAnAutoTakeCarriesItOn) {
    recorder.startCapture(kSecond);
    play(recorder, 1, 0.25f);
    ASSERT_TRUE(recorder.isAutoTake());
    const auto autoTake = recorder.recordingFile();
    EXPECT_EQ(recorder.openTake(), autoTake);  // the user's recording goes on in the same file
    play(recorder, 2 * MixRecorder::kAutoTakeSilenceSeconds, 0.0f);
    EXPECT_TRUE(recorder.isTakeOpen());
    EXPECT_EQ(takes().size(), 1);

    recorder.closeTake(0, true);
    const auto manual = recorder.openTake();  // in the chosen folder
    ASSERT_TRUE(manual);
    EXPECT_EQ(QFileInfo(*manual).absolutePath(), QFileInfo(dir.path()).absoluteFilePath());
    EXPECT_FALSE(recorder.isAutoTake());
}

TEST_F(MixRecorderTest, AutoRecordWaitsLongerAfterEachFailedAttempt) {
    QFile blocker(dir.filePath("blocked"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    defaults().setData(RecordingFolder::kBookmarkKey, dir.filePath("blocked").toUtf8());  // not a folder
    const QByteArray home = qgetenv("HOME");
    qputenv("HOME", dir.filePath("blocked").toUtf8());  // nor can the default folder be made
    recorder.startCapture(kSecond);
    const QString unresolved = "Recording folder bookmark could not be resolved; using the container";
    // Attempts at 0 s, then 10, 20 and 40 s after each failure: at 10, 30 and 70 s.
    const struct { double until; int attempts; } steps[] = {{9, 1}, {11, 2}, {29, 2}, {31, 3}, {69, 3}, {71, 4}};
    double played = 0;
    for (const auto& step : steps) {
        play(recorder, step.until - played, 0.25f);
        played = step.until;
        EXPECT_EQ(logs.count(unresolved), step.attempts) << "after " << played << " s";
    }
    EXPECT_FALSE(recorder.isTakeOpen());
    qputenv("HOME", home);
}

TEST_F(MixRecorderTest, SizeCeilingStopsTheRecordingOrClosesTheTakeItself) {
    for (bool engineStops : {true, false}) {
        SCOPED_TRACE(engineStops);
        MixRecorder small([this] { return clock; }, 8 * kSecond);
        int requests = 0;
        small.setStopRequestHandler([&] {
            ++requests;
            if (engineStops) small.stopCapture();
        });
        small.startCapture(kSecond);
        ASSERT_TRUE(small.openTake(dir.path()));
        play(small, 3, 0.25f, false);
        scheduler().runPending();  // the writer's report of the ceiling reaches the main thread
        EXPECT_EQ(requests, 1);
        EXPECT_FALSE(small.isTakeOpen());
        EXPECT_EQ(small.isCapturing(), !engineStops);
        EXPECT_TRUE(QFileInfo::exists(*small.recordingFile()));
        small.stopCapture();
    }
}

// The take's folder replaced by a file mid-take: the take goes on in the rescue folder, the recorder
// follows it there and closes it as any take, and whoever listens is told where it is.
TEST_F(MixRecorderTest, ATakeWhoseFolderVanishesIsFollowedToTheFileThatKeepsIt) {
    std::vector<RecordingLane::Rescue> told;
    recorder.setRescueHandler([&](const RecordingLane::Rescue& r) { told.push_back(r); });
    recorder.mainLane().setRescueFolder(dir.filePath("rescue"));
    recorder.startCapture(kSecond);
    const QString folder = dir.filePath("takes");
    const auto path = recorder.openTake(folder);
    ASSERT_TRUE(path);
    play(recorder, 2, 0.25f, false);
    ASSERT_TRUE(QDir(folder).removeRecursively());
    QFile blocker(folder);
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    play(recorder, 2, 0.25f, false);
    scheduler().runPending();

    const QString kept = dir.filePath("rescue/" + QFileInfo(*path).fileName());
    EXPECT_EQ(recorder.recordingFile(), kept);
    ASSERT_EQ(told.size(), 1u);
    EXPECT_EQ(told[0].keptPath, kept);
    recorder.closeTake(0, true);
    EXPECT_EQ(recorder.recordingFile(), kept);
    EXPECT_EQ(test::readWav(kept).frames(), 4 * kSecond);
    EXPECT_EQ(QFileInfo(folder).size(), 0);
    EXPECT_TRUE(logs.contains("MixRecorder", LogLevel::Info, "Recording closed"));
}

}  // namespace
}  // namespace quellor
