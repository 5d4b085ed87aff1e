#include "recording/WavHeaderRepair.h"

#include <QFile>
#include <QtEndian>

#include <algorithm>
#include <cstdint>

namespace quellor {

namespace {

constexpr qint64 kHeaderWindow = 4096;
constexpr qint64 kMaxU32 = 0xFFFFFFFFLL;

void writeU32(QFile& file, qint64 offset, quint32 value) {
    uchar bytes[4];
    qToLittleEndian(value, bytes);
    if (file.seek(offset)) file.write(reinterpret_cast<const char*>(bytes), 4);
}

}  // namespace

void repairWavHeader(const QString& path, qint64 frames, int channels) {
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite | QIODevice::ExistingOnly)) return;
    const QByteArray head = file.read(kHeaderWindow);
    if (head.size() < 13) return;

    const auto* bytes = reinterpret_cast<const uchar*>(head.constData());
    qint64 offset = 12;
    for (;;) {
        if (offset + 8 > head.size()) return;  // no data chunk header in the window
        if (head.mid(offset, 4) == "data") break;
        const qint64 size = qFromLittleEndian<quint32>(bytes + offset + 4);
        offset += 8 + size + (size % 2);
    }

    // Both sizes must fit 32 bits: the RIFF size counts everything after its own field, so the data
    // may be at most 2^32 - 1 minus the bytes before it; keep whole frames within that.
    const qint64 frameBytes = std::max(channels, 0) * 4LL;
    qint64 dataBytes = 0;
    if (frameBytes > 0 && frames > 0) {
        const qint64 limit = kMaxU32 - offset;
        dataBytes = std::min(frames, limit / frameBytes) * frameBytes;
    }
    // The repair only ever cuts: a take shorter than asked for keeps the whole frames it has.
    if (frameBytes > 0) {
        const qint64 present = std::max<qint64>(file.size() - offset - 8, 0);
        dataBytes = std::min(dataBytes, present / frameBytes * frameBytes);
    }
    const qint64 newLength = offset + 8 + dataBytes;

    file.resize(newLength);
    writeU32(file, 4, quint32(newLength - 8));
    writeU32(file, offset + 4, quint32(dataBytes));
    file.close();
}

}  // namespace quellor
