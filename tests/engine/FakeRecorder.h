#pragma once
// A recorder that notes what the engine asks of it. Its lane keeps every frame the taps add, by
// frame position, so tests can read back the MAIN mix. Taps run in the test's thread under the
// virtual driver, so the lane needs no synchronisation.
#include <QString>
#include <cmath>
#include <functional>
#include <vector>

#include "engine/MainRecorder.h"

namespace quellor::test {

class FakeLane : public MixSink {
public:
    static constexpr qint64 kFrames = 20 * 48000;

    bool isArmed() const override { return armed; }
    CapturePosition framePosition(std::uint64_t hostTime) const override {
        return {std::llround((double(hostTime) - double(startHostTime)) * 1e-9 * rate), 0};
    }
    void addFramesAt(CapturePosition position, const float* interleavedStereo, int frames) override {
        for (int i = 0; i < frames; ++i) {
            const qint64 at = position.frame + i;
            if (at < 0 || at >= kFrames) continue;
            samples[size_t(2 * at)] += interleavedStereo[2 * i];
            samples[size_t(2 * at + 1)] += interleavedStereo[2 * i + 1];
            written = std::max(written, at + 1);
        }
    }
    float left(qint64 frame) const { return samples[size_t(2 * frame)]; }
    float right(qint64 frame) const { return samples[size_t(2 * frame + 1)]; }

    bool armed = false;
    std::uint64_t startHostTime = 0;
    double rate = 48000;
    qint64 written = 0;
    std::vector<float> samples = std::vector<float>(size_t(2 * kFrames), 0.0f);
};

class FakeRecorder : public MainRecorder {
public:
    explicit FakeRecorder(std::function<std::uint64_t()> hostClock) : hostClock_(std::move(hostClock)) {}

    bool isCapturing() const override { return capturing; }
    void startCapture(double sampleRate) override {
        calls.push_back(QString("start %1").arg(sampleRate));
        if (capturing) return;
        capturing = true;
        lane.armed = true;
        lane.rate = sampleRate;
        lane.startHostTime = hostClock_();
    }
    void stopCapture() override {
        calls.push_back("stop");
        capturing = false;
        takeOpen = false;
        lane.armed = false;
    }
    std::optional<QString> openTake() override {
        calls.push_back("open");
        if (!capturing || !canOpen) return std::nullopt;
        takeOpen = true;
        return QString("/recordings/Quellor take.wav");
    }
    void closeTake(qint64 endFrame, bool keepAll) override {
        calls.push_back(QString("close %1 %2").arg(endFrame).arg(keepAll));
        takeOpen = false;
    }
    void autoRecordTick() override { ++ticks; }
    void pruneRecordings(const QString& folder) override { calls.push_back("prune " + folder); }
    MixSink& mainLane() override { return lane; }
    void setStopRequestHandler(std::function<void()> handler) override { stopRequest = std::move(handler); }

    FakeLane lane;
    std::vector<QString> calls;
    bool capturing = false;
    bool takeOpen = false;
    bool canOpen = true;
    int ticks = 0;
    std::function<void()> stopRequest;

private:
    std::function<std::uint64_t()> hostClock_;
};

}  // namespace quellor::test
