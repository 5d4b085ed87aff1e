#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cmath>

#include "WavFiles.h"
#include "recording/LatestRecording.h"
#include "recording/WaveformPeakCache.h"

namespace quellor {
namespace {

using Peaks = std::vector<std::uint8_t>;
const QDateTime kDay(QDate(2025, 1, 1), QTime(12, 0), Qt::UTC);

class LatestRecordingTest : public ::testing::Test {
protected:
    QString recording(const QString& name, const std::vector<float>& samples, int day = 0) {
        const QString path = dir.filePath(name);
        EXPECT_TRUE(test::writeWav(path, samples));
        touch(path, kDay.addDays(day));
        return path;
    }
    static void touch(const QString& path, const QDateTime& when) { EXPECT_TRUE(test::touch(path, when)); }
    QTemporaryDir dir;
};

TEST(LatestRecordingText, DurationIsMinutesAndSeconds) {
    const std::pair<double, const char*> cases[] = {{-5, "0:00"}, {0.4, "0:00"}, {59.5, "1:00"}, {3725, "62:05"}, {61.49, "1:01"}};
    for (const auto& [seconds, text] : cases) EXPECT_EQ(LatestRecording::durationText(seconds), text) << seconds;
}

TEST(LatestRecordingText, ClockCountsWholeSecondsOfCapturedFrames) {
    const std::tuple<qint64, double, const char*> cases[] = {
        {125 * 48000 + 47999, 48000, "02:05"}, {3600LL * 44100, 44100, "60:00"}, {7, 0, "00:07"}, {0, 48000, "00:00"}};
    for (const auto& [frames, rate, text] : cases) EXPECT_EQ(LatestRecording::clockText(frames, rate), text) << frames;
}

TEST(LatestRecordingEnvelope, MeansAreSmoothedAndNormalised) {
    struct Case {
        Peaks peaks;
        int bins;
        std::vector<double> expected;
    };
    const Case cases[] = {
        {{0, 255}, 4, {0, 0.25, 0.75, 1}},
        {{0, 0, 0}, 3, {0, 0, 0}},
        {{51, 51, 102, 102}, 2, {5.0 / 7, 1}},  // bin means 0.2 and 0.4, smoothed 0.25 and 0.35
        {{}, 4, {}},
        {{255}, 0, {}},
    };
    for (const Case& c : cases) {
        const auto out = LatestRecording::waveformEnvelope(c.peaks, c.bins);
        ASSERT_EQ(out.size(), c.expected.size());
        for (size_t i = 0; i < out.size(); ++i) EXPECT_NEAR(out[i], c.expected[i], 1e-12) << i;
    }
}

TEST_F(LatestRecordingTest, PeaksSummariseEachBin) {
    // A full-scale square wave: every frame is at 1.0.
    std::vector<float> square(2 * 8000);
    for (size_t i = 0; i < square.size(); ++i) square[i] = (i / 2) % 40 < 20 ? 1.0f : -1.0f;
    const QString full = recording("Quellor full.wav", square);
    for (bool average : {true, false}) EXPECT_EQ(LatestRecording::peaks(full, 80, average), Peaks(80, 255));

    const QString half = recording("Quellor half.wav", std::vector<float>(2 * 800, -0.5f));
    EXPECT_EQ(LatestRecording::peaks(half, 80, true), Peaks(80, 128));  // 127.5 rounds away from zero

    // 50 frames in 80 bins: frame i lands in bin i * 80 / 50; bins without a frame stay 0.
    std::vector<float> ramp(2 * 50);
    for (int i = 0; i < 50; ++i) ramp[size_t(2 * i + i % 2)] = float(i + 1) / 50.0f;  // one channel per frame
    const QString sparse = recording("Quellor sparse.wav", ramp);
    const Peaks averaged = LatestRecording::peaks(sparse, 80, true);
    const Peaks maxima = LatestRecording::peaks(sparse, 80, false);
    ASSERT_EQ(averaged.size(), 80u);
    EXPECT_EQ(averaged[78], 255);  // frame 49
    EXPECT_EQ(averaged[2], 0);
    EXPECT_EQ(maxima[2], 0);
    EXPECT_EQ(averaged[1], std::lround(2.0 / 50 * 255));  // frame 1
    EXPECT_EQ(maxima[78], 255);
    EXPECT_EQ(maxima[1], std::lround(2.0f / 50 * 255.0f));

    EXPECT_TRUE(LatestRecording::peaks(sparse, 0, true).empty());
    EXPECT_TRUE(LatestRecording::peaks(dir.filePath("missing.wav"), 80, true).empty());
}

TEST_F(LatestRecordingTest, RecentRecordingsAreTheNewestPlayableOnes) {
    for (int i = 0; i < 50; ++i) recording(QString("Quellor %1.wav").arg(i, 2, 10, QChar('0')), std::vector<float>(2 * 4800, 0.1f), i);
    recording("Quellor empty.wav", {}, 100);  // a header only: 128 bytes or less
    QFile tiny(dir.filePath("Quellor tiny.wav"));
    ASSERT_TRUE(tiny.open(QIODevice::WriteOnly));
    tiny.write(QByteArray(200, 'x'));  // not audio
    tiny.close();
    touch(tiny.fileName(), kDay.addDays(101));

    const auto recent = LatestRecording::recordings(dir.path(), 40);
    ASSERT_EQ(recent.size(), 40u);
    EXPECT_EQ(QFileInfo(recent.front().file).fileName(), "Quellor 49.wav");
    EXPECT_EQ(QFileInfo(recent.back().file).fileName(), "Quellor 10.wav");
    EXPECT_EQ(recent.front().date, kDay.addDays(49));
    EXPECT_DOUBLE_EQ(recent.front().duration, 0.1);
}

TEST_F(LatestRecordingTest, AnyVisibleWavFileIsARecording) {
    const std::pair<const char*, bool> cases[] = {{"Quellor a.wav", true}, {"Mix.take.WAV", true}, {"renamed.Wav", true},
                                                  {".hidden.wav", false}, {"notes.wav.txt", false}, {"noextension", false}};
    int day = 0;
    for (const auto& [name, _] : cases) recording(name, std::vector<float>(2 * 4800, 0.1f), ++day);
    QStringList listed;
    for (const auto& r : LatestRecording::recordings(dir.path(), 40)) listed << QFileInfo(r.file).fileName();
    for (const auto& [name, expected] : cases) EXPECT_EQ(listed.contains(name), expected) << name;
}

TEST_F(LatestRecordingTest, ZeroFrameFileAboveTheSizeFloorIsSkipped) {
    const QString path = recording("Quellor silent.wav", {});
    QFile file(path);  // pad with a trailing chunk so that the file is over 128 bytes
    ASSERT_TRUE(file.open(QIODevice::Append));
    file.write("junk" + QByteArray("\x78\0\0\0", 4) + QByteArray(120, '\0'));
    file.close();
    ASSERT_GT(QFileInfo(path).size(), 128);
    EXPECT_TRUE(LatestRecording::recordings(dir.path(), 40).empty());
}

TEST_F(LatestRecordingTest, PeakCacheIsHiddenBesideTheRecordingAndUsedOnlyWhenValid) {
    EXPECT_EQ(QFileInfo(WaveformPeakCache::cachePath("/r/Mix.take.wav")).fileName(), ".Mix.take.80avg.peaks");
    const QString take = recording("Quellor take.wav", std::vector<float>(2 * 8000, 0.5f), 5);
    const QString cache = WaveformPeakCache::cachePath(take);
    EXPECT_EQ(cache, dir.filePath(".Quellor take.80avg.peaks"));

    EXPECT_EQ(WaveformPeakCache::peaks(take), Peaks(80, 128));  // computed and cached
    QFile stored(cache);
    ASSERT_TRUE(stored.open(QIODevice::ReadOnly));
    EXPECT_EQ(stored.readAll(), QByteArray(80, char(128)));
    stored.close();

    const auto plant = [&](int size, const QDateTime& when) {
        QFile file(cache);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(QByteArray(size, 7));
        file.close();
        touch(cache, when);
    };
    struct Case {
        const char* name;
        int size;
        int day;
        bool used;
    };
    const Case cases[] = {{"same date as the recording", 80, 5, true}, {"newer", 80, 6, true}, {"older", 80, 4, false},
                          {"79 bytes", 79, 6, false}, {"81 bytes", 81, 6, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        plant(c.size, kDay.addDays(c.day));
        EXPECT_EQ(WaveformPeakCache::peaks(take), Peaks(80, c.used ? 7 : 128));
        EXPECT_EQ(QFileInfo(cache).size(), 80);  // an invalid cache is replaced
    }
    EXPECT_TRUE(WaveformPeakCache::peaks(dir.filePath("Quellor gone.wav")).empty());
    EXPECT_FALSE(QFileInfo::exists(dir.filePath(".Quellor gone.80avg.peaks")));
}

}  // namespace
}  // namespace quellor
