#include "recording/RecordingRetention.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <limits>

#include "base/Logger.h"
#include "base/UserDefaults.h"
#include "recording/RetentionPolicy.h"
#include "recording/WaveformPeakCache.h"

namespace quellor {

bool RecordingRetention::isRecordingName(const QString& fileName) {
    return fileName.startsWith("Quellor ") && isWavName(fileName);
}

bool RecordingRetention::isWavName(const QString& fileName) {
    return QFileInfo(fileName).suffix().compare(QLatin1String("wav"), Qt::CaseInsensitive) == 0;
}

std::vector<RecordingRetention::Recording> RecordingRetention::list(const QString& folder, NameRule isListed) {
    std::vector<Recording> result;
    const QDir dir(folder);
    // Not sorted: ties keep the directory's own order.
    const QFileInfoList entries = dir.entryInfoList(QDir::Files, QDir::Unsorted);
    for (const QFileInfo& entry : entries) {
        // Hidden files (the waveform caches among them) are not in the listing at all.
        if (!isListed(entry.fileName())) continue;
        if (entry.isSymLink() || !entry.isFile()) continue;
        result.push_back({entry.absoluteFilePath(), entry.lastModified(), entry.size()});
    }
    std::stable_sort(result.begin(), result.end(), [](const Recording& a, const Recording& b) {
        return RetentionPolicy::sortKey(a.date) > RetentionPolicy::sortKey(b.date);
    });
    return result;
}

qint64 RecordingRetention::capBytes() {
    constexpr qint64 kGB = 1'000'000'000;
    const qint64 gb = UserDefaults::standard().integerOr(kCapKey, kDefaultCapGB);
    if (gb > std::numeric_limits<qint64>::max() / kGB) return std::numeric_limits<qint64>::max();
    if (gb < std::numeric_limits<qint64>::min() / kGB) return 0;
    return gb * kGB;
}

void RecordingRetention::prune(const QString& folder) {
    const qint64 cap = capBytes();
    if (cap <= 0) return;
    std::vector<RetentionPolicy::Take> takes;
    for (const Recording& r : list(folder)) takes.push_back({QFileInfo(r.path).fileName(), r.bytes, r.date});
    static const Logger log("Retention");
    for (const QString& id : RetentionPolicy::takesToDelete(std::move(takes), cap)) {
        const QString path = QDir(folder).filePath(id);
        QFile::remove(path);
        QFile::remove(WaveformPeakCache::cachePath(path));  // its waveform goes with it
        log.info("Pruned old recording: %s", qPrintable(id));
    }
}

}  // namespace quellor
