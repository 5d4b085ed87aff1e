#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>

#include "WavFiles.h"
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

}  // namespace
}  // namespace quellor
