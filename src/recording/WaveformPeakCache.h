#pragma once
// The hidden waveform cache beside a recording, so that listing recent recordings does not decode
// every WAV file again: "." + the recording's name without its last extension + ".80avg.peaks",
// holding exactly 80 bytes (the averaged peaks), no header.
//
// A cache is used only when it is exactly 80 bytes and not older than its recording; otherwise the
// peaks are computed again and the cache rewritten (atomically). A failed write is silent.
// Threads: any (file work; keep it off the main thread).

#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

namespace quellor {

class WaveformPeakCache {
public:
    static constexpr int kBins = 80;

    static QString cachePath(const QString& recording);
    // The cached peaks when the cache is valid.
    static std::optional<std::vector<std::uint8_t>> load(const QString& recording);
    // Writes the cache; false when it could not be written.
    static bool store(const QString& recording, const std::vector<std::uint8_t>& peaks);
    // The cached peaks, or freshly computed ones (then cached when not empty).
    static std::vector<std::uint8_t> peaks(const QString& recording);
};

}  // namespace quellor
