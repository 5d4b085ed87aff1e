#pragma once
// Small helpers for the recording tests: write and read interleaved float WAV files with libsndfile.

#include <QDateTime>
#include <QFile>
#include <QString>
#include <sndfile.h>

#include <vector>

namespace quellor::test {

struct WavContent {
    int sampleRate = 0;
    int channels = 0;
    std::vector<float> samples;  // interleaved
    qint64 frames() const { return channels ? qint64(samples.size()) / channels : 0; }
};

inline bool writeWav(const QString& path, const std::vector<float>& interleaved, int channels = 2,
                     int sampleRate = 48000) {
    SF_INFO info{};
    info.samplerate = sampleRate;
    info.channels = channels;
    info.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
    SNDFILE* file = sf_open(QFile::encodeName(path).constData(), SFM_WRITE, &info);
    if (!file) return false;
    sf_command(file, SFC_SET_ADD_PEAK_CHUNK, nullptr, SF_FALSE);
    const sf_count_t frames = sf_count_t(interleaved.size()) / channels;
    const bool ok = sf_writef_float(file, interleaved.data(), frames) == frames;
    return sf_close(file) == 0 && ok;
}

// Sets a file's modification time.
inline bool touch(const QString& path, const QDateTime& when) {
    QFile file(path);
    return file.open(QIODevice::ReadWrite) && file.setFileTime(when, QFileDevice::FileModificationTime);
}

inline WavContent readWav(const QString& path) {
    WavContent content;
    SF_INFO info{};
    SNDFILE* file = sf_open(QFile::encodeName(path).constData(), SFM_READ, &info);
    if (!file) return content;
    content.sampleRate = info.samplerate;
    content.channels = info.channels;
    content.samples.resize(size_t(info.frames * info.channels));
    content.samples.resize(size_t(sf_readf_float(file, content.samples.data(), info.frames) * info.channels));
    sf_close(file);
    return content;
}

}  // namespace quellor::test
