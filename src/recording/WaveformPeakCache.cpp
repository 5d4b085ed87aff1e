#include "recording/WaveformPeakCache.h"

#include <QFile>
#include <QDir>
#include <QFileInfo>

#include "base/AtomicFile.h"
#include "recording/LatestRecording.h"

namespace quellor {

QString WaveformPeakCache::cachePath(const QString& recording) {
    const QFileInfo info(recording);
    const QString name = info.fileName();
    const int dot = name.lastIndexOf('.');
    const QString stem = dot > 0 ? name.left(dot) : name;
    return info.dir().filePath(QString(".%1.%2avg.peaks").arg(stem).arg(kBins));
}

std::optional<std::vector<std::uint8_t>> WaveformPeakCache::load(const QString& recording) {
    const QFileInfo source(recording);
    const QFileInfo cache(cachePath(recording));
    const QDateTime sourceDate = source.lastModified();
    const QDateTime cacheDate = cache.lastModified();
    if (!sourceDate.isValid() || !cacheDate.isValid() || cacheDate < sourceDate) return std::nullopt;
    QFile file(cache.filePath());
    if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
    const QByteArray bytes = file.read(kBins + 1);
    if (bytes.size() != kBins) return std::nullopt;
    return std::vector<std::uint8_t>(bytes.begin(), bytes.end());
}

bool WaveformPeakCache::store(const QString& recording, const std::vector<std::uint8_t>& peaks) {
    return writeFileAtomically(cachePath(recording),
                               QByteArray(reinterpret_cast<const char*>(peaks.data()), qsizetype(peaks.size())));
}

std::vector<std::uint8_t> WaveformPeakCache::peaks(const QString& recording) {
    if (auto cached = load(recording)) return *cached;
    auto computed = LatestRecording::peaks(recording, kBins, true);
    if (!computed.empty()) store(recording, computed);
    return computed;
}

}  // namespace quellor
