#include "recording/WavHeaderRepair.h"

#include <QDir>
#include <QFile>
#include <QtEndian>

#include <algorithm>
#include <cstdint>

#include "base/Logger.h"

namespace quellor {

namespace {

constexpr qint64 kHeaderWindow = 4096;
constexpr qint64 kMaxU32 = 0xFFFFFFFFLL;

void writeU32(QFile& file, qint64 offset, quint32 value) {
    uchar bytes[4];
    qToLittleEndian(value, bytes);
    if (file.seek(offset)) file.write(reinterpret_cast<const char*>(bytes), 4);
}

quint32 u32At(const QByteArray& head, qint64 at) {
    return qFromLittleEndian<quint32>(reinterpret_cast<const uchar*>(head.constData()) + at);
}

// Where the chunks of the header window lie: the "data" chunk header's offset (or -1 when it does
// not start within the window) and the frame size the "fmt " chunk before it gives (0 when none).
struct Layout {
    qint64 dataAt = -1;
    qint64 blockAlign = 0;
};

Layout walkChunks(const QByteArray& head) {
    Layout layout;
    qint64 offset = 12;
    for (;;) {
        if (offset + 8 > head.size()) return layout;
        const QByteArray id = head.mid(offset, 4);
        const qint64 size = u32At(head, offset + 4);
        if (id == "data") {
            layout.dataAt = offset;
            return layout;
        }
        if (id == "fmt " && size >= 16 && offset + 8 + 14 <= head.size())
            layout.blockAlign = qFromLittleEndian<quint16>(reinterpret_cast<const uchar*>(head.constData()) + offset + 20);
        offset += 8 + size + (size % 2);
    }
}

// Cuts the file after `frames` frames of `frameBytes` of the data chunk at `dataAt` and writes both
// sizes; never makes the file longer and keeps both sizes within 32 bits.
void cutData(QFile& file, qint64 dataAt, qint64 frames, qint64 frameBytes) {
    qint64 dataBytes = 0;
    if (frameBytes > 0 && frames > 0) {
        // The RIFF size counts everything after its own field, so the data may be at most
        // 2^32 - 1 minus the bytes before it; keep whole frames within that.
        const qint64 limit = kMaxU32 - dataAt;
        dataBytes = std::min(frames, limit / frameBytes) * frameBytes;
    }
    if (frameBytes > 0) {
        const qint64 present = std::max<qint64>(file.size() - dataAt - 8, 0);
        dataBytes = std::min(dataBytes, present / frameBytes * frameBytes);
    }
    const qint64 newLength = dataAt + 8 + dataBytes;
    file.resize(newLength);
    writeU32(file, 4, quint32(newLength - 8));
    writeU32(file, dataAt + 4, quint32(dataBytes));
}

}  // namespace

void repairWavHeader(const QString& path, qint64 frames, int channels) {
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite | QIODevice::ExistingOnly)) return;
    const QByteArray head = file.read(kHeaderWindow);
    if (head.size() < 13) return;
    const Layout layout = walkChunks(head);
    if (layout.dataAt < 0) return;
    cutData(file, layout.dataAt, frames, std::max(channels, 0) * 4LL);
}

std::optional<qint64> repairInterruptedTake(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite | QIODevice::ExistingOnly)) return std::nullopt;
    const QByteArray head = file.read(kHeaderWindow);
    if (head.size() < 12 || !head.startsWith("RIFF") || head.mid(8, 4) != "WAVE") return std::nullopt;
    const Layout layout = walkChunks(head);
    if (layout.dataAt < 0 || layout.blockAlign <= 0) return std::nullopt;

    const qint64 length = file.size();
    const qint64 dataStart = layout.dataAt + 8;
    // A file longer than 32-bit sizes can describe is no take of ours: cutting it would lose audio.
    if (length < dataStart || length - 8 > kMaxU32) return std::nullopt;
    const qint64 riffSize = u32At(head, 4);
    const qint64 dataSize = u32At(head, layout.dataAt + 4);
    // A closed take's header agrees with its length (the data may be followed by other chunks).
    if (riffSize == length - 8 && dataStart + dataSize <= length) return std::nullopt;

    const qint64 frames = (length - dataStart) / layout.blockAlign;
    cutData(file, layout.dataAt, frames, layout.blockAlign);
    return frames;
}

QStringList repairInterruptedTakes(const QString& folder) {
    static const Logger log(QStringLiteral("Recording"));
    QStringList repaired;
    const QDir dir(folder);
    const auto names = dir.entryList({QStringLiteral("Quellor *")}, QDir::Files | QDir::NoDotAndDotDot);
    for (const QString& name : names) {
        if (!name.endsWith(QStringLiteral(".wav"), Qt::CaseInsensitive)) continue;
        const QString path = dir.filePath(name);
        if (const auto frames = repairInterruptedTake(path)) {
            log.notice("Repaired the header of the interrupted recording %s: %lld frames", qPrintable(path),
                       static_cast<long long>(*frames));
            repaired << path;
        }
    }
    return repaired;
}

}  // namespace quellor
