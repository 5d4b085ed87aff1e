// A recording's file as the header repair finds it: a take cut short by a crash (repaired at
// start-up) and a take closed at a chosen length. Neither ever makes a file longer; a take that is
// repaired gets a header that agrees with its length, so a second repair leaves it alone; a file
// the repair does not take on is left byte for byte as it was.
//
// Input: the file's bytes, then 8 bytes of frame count and 1 byte of channel count for the cut.
#include <QFile>
#include <QtEndian>
#include <fuzzer/FuzzedDataProvider.h>

#include "FuzzSupport.h"
#include "recording/WavHeaderRepair.h"

using namespace quellor;

namespace {

QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

quint32 u32At(const QByteArray& bytes, qsizetype at) {
    return qFromLittleEndian<quint32>(reinterpret_cast<const uchar*>(bytes.constData()) + at);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    const int channels = input.ConsumeIntegralInRange<int>(-1, 16);
    const qint64 frames = input.ConsumeIntegral<qint64>();
    const std::vector<char> rest = input.ConsumeRemainingBytes<char>();
    const QByteArray original(rest.data(), qsizetype(rest.size()));
    fuzz::freshFolder();

    const QString take = fuzz::writeFile(QStringLiteral("Quellor take.wav"), original);
    const auto repaired = repairInterruptedTake(take);
    const QByteArray after = contents(take);
    if (!repaired) {
        FUZZ_CHECK(after == original);
    } else {
        FUZZ_CHECK(after.size() <= original.size());
        FUZZ_CHECK(*repaired >= 0);
        FUZZ_CHECK(qint64(u32At(after, 4)) == after.size() - 8);
        FUZZ_CHECK(!repairInterruptedTake(take));
        FUZZ_CHECK(contents(take) == after);
    }

    const QString cut = fuzz::writeFile(QStringLiteral("cut.wav"), original);
    repairWavHeader(cut, frames, channels);
    const QByteArray cutBytes = contents(cut);
    FUZZ_CHECK(cutBytes.size() <= original.size());
    if (cutBytes != original) {
        FUZZ_CHECK(qint64(u32At(cutBytes, 4)) == cutBytes.size() - 8);
        FUZZ_CHECK(!repairInterruptedTake(cut));
    }
    return 0;
}
