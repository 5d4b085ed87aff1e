#pragma once
// Listens to what a sink of the private PipeWire plays: pw-record on the sink's monitor, 32-bit float
// frames read as they come. The test asks for the peak of each channel over the latest frames, or
// scans everything heard since a mark.
//
// Threads: the test's thread; call poll() (the fixture's waits do) to take in what arrived.

#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <vector>

namespace quellor::test {

class SinkProbe {
public:
    SinkProbe(const QProcessEnvironment& environment, const QString& sink, int channels);
    ~SinkProbe();

    void poll();
    // The peak of `channel` over the latest `frames` frames (0 while fewer have arrived).
    float peak(int channel, int frames = 4800) const;
    std::size_t frames() const { return samples_.size() / std::size_t(channels_); }
    // Peaks of `channel` in consecutive blocks of `block` frames from frame `from` on.
    std::vector<float> blockPeaks(int channel, std::size_t from, int block) const;

private:
    QProcess process_;
    int channels_;
    QByteArray pending_;
    std::vector<float> samples_;
};

}  // namespace quellor::test
