#include "recording/LatestRecording.h"

#include <QFile>
#include <sndfile.h>

#include <algorithm>
#include <cmath>

#include "recording/RecordingRetention.h"

namespace quellor {

namespace {

struct SoundFile {
    explicit SoundFile(const QString& path) { file = sf_open(QFile::encodeName(path).constData(), SFM_READ, &info); }
    ~SoundFile() {
        if (file) sf_close(file);
    }
    SoundFile(const SoundFile&) = delete;
    SoundFile& operator=(const SoundFile&) = delete;
    SF_INFO info{};
    SNDFILE* file = nullptr;
};

// A level already scaled to 0...255, rounded half away from zero.
std::uint8_t byteLevel(double scaled) {
    return std::uint8_t(std::clamp(std::round(scaled), 0.0, 255.0));
}

}  // namespace

std::vector<LatestRecording::Info> LatestRecording::recordings(const QString& folder, int limit) {
    std::vector<Info> result;
    for (const auto& recording : RecordingRetention::list(folder, RecordingRetention::isWavName)) {
        if (int(result.size()) >= limit) break;
        if (recording.bytes <= 128) continue;
        SoundFile sound(recording.path);
        if (!sound.file || sound.info.samplerate <= 0) continue;
        const double duration = double(sound.info.frames) / sound.info.samplerate;
        if (duration <= 0) continue;
        result.push_back({recording.path, recording.date, duration});
    }
    return result;
}

QString LatestRecording::clockText(qint64 frames, double sampleRate) {
    const auto seconds = qint64(double(frames) / std::max(sampleRate, 1.0));
    return QString::asprintf("%02lld:%02lld", seconds / 60, seconds % 60);
}

QString LatestRecording::durationText(double seconds) {
    const long long total = std::max(0LL, std::llround(seconds));
    return QString::asprintf("%lld:%02lld", total / 60, total % 60);
}

std::vector<std::uint8_t> LatestRecording::peaks(const QString& file, int bins, bool average) {
    constexpr sf_count_t kChunkFrames = 65536;
    if (bins < 1) return {};
    SoundFile sound(file);
    if (!sound.file || sound.info.frames <= 0 || sound.info.channels <= 0) return {};
    const sf_count_t total = sound.info.frames;
    const int channels = sound.info.channels;
    std::vector<float> buffer(size_t(kChunkFrames * channels));
    std::vector<float> maximum(size_t(bins), 0.0f);
    std::vector<double> sum(size_t(bins), 0.0);
    std::vector<qint64> count(size_t(bins), 0);

    sf_count_t position = 0;
    while (position < total) {
        const sf_count_t got = sf_readf_float(sound.file, buffer.data(), kChunkFrames);
        if (got <= 0) break;
        for (sf_count_t i = 0; i < got; ++i) {
            float level = 0;
            for (int ch = 0; ch < channels; ++ch) level = std::max(level, std::fabs(buffer[size_t(i * channels + ch)]));
            const auto bin = std::min(qint64(double(position + i) / double(total) * bins), qint64(bins - 1));
            maximum[size_t(bin)] = std::max(maximum[size_t(bin)], level);
            sum[size_t(bin)] += level;
            ++count[size_t(bin)];
        }
        position += got;
    }

    std::vector<std::uint8_t> result(static_cast<size_t>(bins));
    for (size_t b = 0; b < result.size(); ++b) {
        if (average) {
            result[b] = count[b] > 0 ? byteLevel(sum[b] / double(count[b]) * 255.0) : 0;
        } else {
            result[b] = byteLevel(maximum[b] * 255.0f);
        }
    }
    return result;
}

std::vector<double> LatestRecording::waveformEnvelope(const std::vector<std::uint8_t>& peaks, int bins) {
    if (bins < 1 || peaks.empty()) return {};
    const qint64 n = qint64(peaks.size());
    std::vector<double> mean(static_cast<size_t>(bins));
    for (qint64 b = 0; b < bins; ++b) {
        const qint64 lo = b * n / bins;
        const qint64 hi = (b + 1) * n / bins;
        const qint64 start = std::min(lo, n - 1);
        const qint64 end = std::min(std::max(hi, lo + 1), n);
        double total = 0;
        for (qint64 i = start; i < end; ++i) total += peaks[size_t(i)];
        mean[size_t(b)] = total / double(std::max<qint64>(end - start, 1)) / 255.0;
    }
    std::vector<double> smooth(static_cast<size_t>(bins));
    for (int i = 0; i < bins; ++i) {
        smooth[size_t(i)] =
            (mean[size_t(std::max(i - 1, 0))] + 2 * mean[size_t(i)] + mean[size_t(std::min(i + 1, bins - 1))]) * 0.25;
    }
    const double top = *std::max_element(smooth.begin(), smooth.end());
    if (top > 0) {
        for (double& v : smooth) v /= top;
    }
    return smooth;
}

}  // namespace quellor
