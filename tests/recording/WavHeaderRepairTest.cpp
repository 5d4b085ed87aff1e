#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>

#include "WavFiles.h"
#include "base/Logger.h"
#include "recording/WavHeaderRepair.h"

namespace quellor {
namespace {

QByteArray u32(quint32 v) {
    QByteArray b(4, 0);
    qToLittleEndian(v, b.data());
    return b;
}

QByteArray chunk(const QByteArray& id, const QByteArray& body) {
    QByteArray c = id + u32(quint32(body.size())) + body;
    if (body.size() % 2) c.append('\0');
    return c;
}

// RIFF/WAVE with the given chunks before a data chunk of `dataBytes` bytes.
QByteArray wav(const QByteArray& chunksBefore, qint64 dataBytes) {
    QByteArray body = "WAVE" + chunksBefore + chunk("data", QByteArray(dataBytes, '\x11'));
    return "RIFF" + u32(quint32(body.size())) + body;
}

quint32 u32At(const QByteArray& bytes, qint64 at) {
    return qFromLittleEndian<quint32>(reinterpret_cast<const uchar*>(bytes.constData()) + at);
}

class WavHeaderRepairTest : public ::testing::Test {
protected:
    QByteArray repaired(const QByteArray& original, qint64 frames) {
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(original);
        file.close();
        repairWavHeader(path, frames, 2);
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        return file.readAll();
    }

    QTemporaryDir dir;
    QString path = dir.filePath("take.wav");
    LogCapture logs;
};

TEST_F(WavHeaderRepairTest, CutsTheDataAndRewritesBothSizes) {
    const QByteArray format = chunk("fmt ", QByteArray(16, '\x01'));
    struct Case {
        const char* name;
        QByteArray before;
        qint64 frames;
        qint64 dataAt;
    };
    const Case cases[] = {
        {"canonical header", format, 1000, 36},
        {"odd chunk before the data", format + chunk("LIST", QByteArray(5, 'x')), 1000, 50},
        {"no frames", format, 0, 36},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QByteArray original = wav(c.before, 2000 * 8);
        const QByteArray out = repaired(original, c.frames);
        const qint64 dataBytes = c.frames * 8;
        EXPECT_EQ(out.size(), c.dataAt + 8 + dataBytes);
        EXPECT_EQ(u32At(out, 4), quint32(out.size() - 8));
        EXPECT_EQ(out.mid(c.dataAt, 4), "data");
        EXPECT_EQ(u32At(out, c.dataAt + 4), quint32(dataBytes));
        // Everything but the two sizes is unchanged.
        QByteArray expected = original.left(out.size());
        expected.replace(4, 4, u32(quint32(out.size() - 8)));
        expected.replace(c.dataAt + 4, 4, u32(quint32(dataBytes)));
        EXPECT_EQ(out, expected);
    }
}

TEST_F(WavHeaderRepairTest, ShortFileIsNeverMadeLonger) {
    // 100 frames and a torn frame of 3 bytes, where the header was asked to describe 1,000.
    const QByteArray format = chunk("fmt ", QByteArray(16, '\x01'));
    QByteArray original = wav(format, 100 * 8);
    original.append("\x22\x22\x22", 3);
    const QByteArray out = repaired(original, 1000);
    EXPECT_EQ(out.size(), 36 + 8 + 800);
    EXPECT_EQ(u32At(out, 4), quint32(36 + 800));
    EXPECT_EQ(u32At(out, 40), 800u);
    EXPECT_EQ(out.mid(44), original.mid(44, 800));
}

TEST_F(WavHeaderRepairTest, LeavesFilesWithoutAReachableDataChunkAlone) {
    const QByteArray cases[] = {
        QByteArray("RIFF\x04\0\0\0WAVE", 12),                                    // shorter than 13 bytes
        wav(chunk("junk", QByteArray(5000, 'j')), 800),                            // data header beyond 4,096 bytes
        "RIFF" + u32(100) + "WAVE" + chunk("fmt ", QByteArray(16, '\x01')),     // no data chunk at all
    };
    for (const QByteArray& original : cases) EXPECT_EQ(repaired(original, 10), original);
}

TEST_F(WavHeaderRepairTest, TakeWithWrongSizesReadsBackAfterRepair) {
    std::vector<float> samples(2 * 4800);
    for (size_t i = 0; i < samples.size(); ++i) samples[i] = float(i % 97) / 97.0f;
    ASSERT_TRUE(test::writeWav(path, samples));

    // What a crash leaves behind: the header still says "empty", with stray bytes after the audio.
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    QByteArray bytes = file.readAll();
    const qint64 dataAt = bytes.indexOf("data");
    ASSERT_GT(dataAt, 0);
    bytes.replace(4, 4, u32(0));
    bytes.replace(dataAt + 4, 4, u32(0));
    bytes.append("garbage");
    file.seek(0);
    file.write(bytes);
    file.close();

    repairWavHeader(path, 4800, 2);
    const auto content = test::readWav(path);
    EXPECT_EQ(content.sampleRate, 48000);
    EXPECT_EQ(content.samples, samples);
}

// ---- takes cut short ----

class InterruptedTakes : public WavHeaderRepairTest {
protected:
    // A closed take of `frames` frames of stereo float, as the recorder writes it.
    QByteArray closedTake(qint64 frames) {
        std::vector<float> samples(size_t(2 * frames));
        for (size_t i = 0; i < samples.size(); ++i) samples[i] = float(i % 89) / 89.0f;
        EXPECT_TRUE(test::writeWav(path, samples));
        return readBytes(path);
    }
    static QByteArray readBytes(const QString& file) {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    static void writeBytes(const QString& file, const QByteArray& bytes) {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    }
};

TEST_F(InterruptedTakes, AHeaderThatDisagreesWithTheLengthIsMadeToDescribeTheWholeFramesPresent) {
    const QByteArray closed = closedTake(4800);
    const qint64 dataAt = closed.indexOf("data");
    const qint64 header = dataAt + 8;
    auto withSizes = [&](quint32 riff, quint32 data, const QByteArray& tail) {
        QByteArray b = closed;
        b.replace(4, 4, u32(riff));
        b.replace(dataAt + 4, 4, u32(data));
        return b + tail;
    };
    struct Case {
        const char* name;
        QByteArray bytes;
        qint64 frames;  // what the header describes afterwards
    };
    const Case cases[] = {
        // Killed right after it opened: the header still says "empty", a torn frame at the end.
        {"empty header, torn frame", withSizes(quint32(header - 8), 0, "\x01\x02\x03"), 4800},
        // Killed a while after the last header update.
        {"stale header", withSizes(quint32(header - 8 + 8 * 1000), 8 * 1000, {}), 4800},
        // Cut short on disk: the header promises more than is there.
        {"header longer than the file", withSizes(quint32(closed.size() - 8 + 800), 8 * 4900, {}), 4800},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        writeBytes(path, c.bytes);
        EXPECT_EQ(repairInterruptedTake(path), c.frames);
        EXPECT_EQ(readBytes(path), closed);  // exactly what a clean close writes
        EXPECT_EQ(repairInterruptedTake(path), std::nullopt);  // agrees now
    }
}

TEST_F(InterruptedTakes, OnlyTakesOfTheFolderWhoseHeaderDisagreesAreTouched) {
    const QByteArray closed = closedTake(1000);
    QByteArray stale = closed;
    stale.replace(4, 4, u32(0));
    const QByteArray notWav = "RIFX" + closed.mid(4);
    struct File {
        QString name;
        QByteArray bytes;
        bool repaired;
    };
    const File files[] = {
        {"Quellor 2026-12-10 10-00-00.wav", stale, true},
        {"Quellor 2026-12-10 11-00-00.WAV", stale, true},
        {"Quellor closed.wav", closed, false},
        {"Quellor big-endian.wav", notWav, false},
        {"Other.wav", stale, false},
        {"Quellor notes.txt", stale, false},
    };
    for (const File& f : files) writeBytes(dir.filePath(f.name), f.bytes);
    logs.clear();
    const QStringList repaired = repairInterruptedTakes(dir.path());
    for (const File& f : files) {
        SCOPED_TRACE(f.name.toStdString());
        EXPECT_EQ(repaired.contains(dir.filePath(f.name)), f.repaired);
        EXPECT_EQ(readBytes(dir.filePath(f.name)), f.repaired ? closed : f.bytes);
    }
    EXPECT_TRUE(logs.contains("Recording", LogLevel::Default,
                              "Repaired the header of the interrupted recording " +
                                  dir.filePath("Quellor 2026-12-10 10-00-00.wav") + ": 1000 frames"));
}

}  // namespace
}  // namespace quellor
