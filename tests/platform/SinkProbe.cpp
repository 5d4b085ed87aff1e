#include "SinkProbe.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace quellor::test {

SinkProbe::SinkProbe(const QProcessEnvironment& environment, const QString& sink, int channels) : channels_(channels) {
    process_.setProcessEnvironment(environment);
    process_.setStandardErrorFile(QProcess::nullDevice());
    process_.start("pw-record", {"--target", sink, "-P", "stream.capture.sink=true", "--rate", "48000", "--channels",
                                 QString::number(channels), "--format", "f32", "--latency", "256", "-"});
    process_.waitForStarted(5000);
}

SinkProbe::~SinkProbe() {
    process_.kill();
    process_.waitForFinished(5000);
}

void SinkProbe::poll() {
    process_.waitForReadyRead(10);
    pending_ += process_.readAllStandardOutput();
    const std::size_t frameBytes = std::size_t(channels_) * 4;
    const std::size_t whole = std::size_t(pending_.size()) / frameBytes * frameBytes;
    if (whole == 0) return;
    const std::size_t old = samples_.size();
    samples_.resize(old + whole / 4);
    std::memcpy(samples_.data() + old, pending_.constData(), whole);
    pending_.remove(0, qsizetype(whole));
}

float SinkProbe::peak(int channel, int frames) const {
    const std::size_t have = this->frames();
    if (have < std::size_t(frames)) return 0.0f;
    float p = 0.0f;
    for (std::size_t f = have - std::size_t(frames); f < have; ++f)
        p = std::max(p, std::abs(samples_[f * std::size_t(channels_) + std::size_t(channel)]));
    return p;
}

std::vector<float> SinkProbe::blockPeaks(int channel, std::size_t from, int block) const {
    std::vector<float> peaks;
    for (std::size_t start = from; start + std::size_t(block) <= frames(); start += std::size_t(block)) {
        float p = 0.0f;
        for (std::size_t f = start; f < start + std::size_t(block); ++f)
            p = std::max(p, std::abs(samples_[f * std::size_t(channels_) + std::size_t(channel)]));
        peaks.push_back(p);
    }
    return peaks;
}

}  // namespace quellor::test
