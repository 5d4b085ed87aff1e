#pragma once
// The pure parts of showing recent recordings: the newest playable recordings with their durations,
// a minutes-and-seconds text, a per-bin level summary ("peaks", 0 = silence, 255 = full scale) read
// from a recording, and the smoothed, normalised envelope drawn from stored peaks.
//
// Threads: any; recordings() and peaks() read files and belong off the main thread.

#include <QDateTime>
#include <QString>

#include <cstdint>
#include <vector>

namespace quellor {

class LatestRecording {
public:
    struct Info {
        QString file;
        QDateTime date;  // modification date from the folder listing
        double duration = 0;  // seconds
        bool operator==(const Info&) const = default;
    };

    // An sRGB colour with components in 0...1.
    struct Colour {
        double red, green, blue, alpha;
    };
    // The colours recording waveforms are drawn in.
    static constexpr Colour kAmber{240 / 255.0, 196 / 255.0, 106 / 255.0, 1.0};
    static constexpr Colour kAmberDeep{184 / 255.0, 138 / 255.0, 30 / 255.0, 1.0};

    // At most `limit` recordings of the folder, newest first: its WAV files (".wav" in any case) that
    // are not hidden; files of 128 bytes or less, files that cannot be opened and files without
    // length are left out.
    static std::vector<Info> recordings(const QString& folder, int limit);
    // The running clock of a take: "mm:ss" of the whole seconds in `frames` at `sampleRate` (below 1
    // counts as 1); minutes are not wrapped into hours.
    static QString clockText(qint64 frames, double sampleRate);
    // "m:ss" of the seconds rounded half away from zero; negative counts as 0; minutes not capped.
    static QString durationText(double seconds);
    // One level per bin: the mean (`average`) or the maximum of each frame's largest absolute sample,
    // times 255, rounded half away from zero. Empty when the file cannot be read or bins < 1; a read
    // error part-way gives the peaks of what was read.
    static std::vector<std::uint8_t> peaks(const QString& file, int bins, bool average);
    // `bins` drawing values in 0...1 from stored peaks: bin means, smoothed with weights 1, 2, 1, then
    // divided by the largest value (all zeros stay zeros). Empty for no peaks or bins < 1.
    static std::vector<double> waveformEnvelope(const std::vector<std::uint8_t>& peaks, int bins);
};

}  // namespace quellor
