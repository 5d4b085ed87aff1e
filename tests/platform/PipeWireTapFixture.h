#pragma once
// A test on a private PipeWire server with the PipeWire hardware installed (PipeWireHardwareFixture):
// players of a half-scale 440 Hz tone, probes on the sinks' monitors, and the hardware's objects for
// them. Every wait polls the probes too.
//
// Threads: the test's thread.

#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <cmath>
#include <memory>
#include <vector>

#include "PipeWireHardwareFixture.h"
#include "SinkProbe.h"
#include "engine/ProcessTap.h"

namespace quellor::test {

// A 60 s, 48 kHz stereo 440 Hz tone at half scale in the private server's folder.
inline QString halfScaleTone(PrivatePipeWire& pipewire) {
    const QString file = pipewire.folder() + "/half.wav";
    if (!QFile::exists(file))
        pipewire.run("sox", {"-n", "-r", "48000", "-c", "2", "-b", "16", file, "synth", "60", "sine", "440", "vol", "0.5"});
    return file;
}

class PipeWireTapFixture : public PipeWireHardwareFixture {
protected:
    // A fader whose cube, the gain it gives, is one half.
    static constexpr float kHalfGainFader = 0.7937005f;

    void TearDown() override {
        probes_.clear();
        PipeWireHardwareFixture::TearDown();
    }

    void whileWaiting() override {
        for (auto& p : probes_) p->poll();
    }

    SinkProbe& probe(const char* sink, int channels) {
        probes_.push_back(std::make_unique<SinkProbe>(pipewire_->environment(), sink, channels));
        return *probes_.back();
    }

    // pw-play of the tone, aimed at `sink`.
    QProcess& play(const char* sink) { return pipewire_->launch("pw-play", {"--target", sink, halfScaleTone(*pipewire_)}); }

    // The process object of a pid, once the hardware lists it; 0 when it never does.
    AudioObjectID processOf(qint64 pid) {
        AudioObjectID found = 0;
        eventually([&] {
            for (AudioObjectID id : hardware_->objects().processIDs()) {
                auto v = hardware_->objects().property(id, {hal::kProcessPID});
                if (v && std::get<std::int32_t>(*v) == pid) found = id;
            }
            return found != 0;
        });
        return found;
    }

    ProcessTap::Output output(const char* uid) {
        AudioObjectID id = 0;
        eventually([&] { return (id = hardware_->objects().deviceWithUID(uid)) != 0; });
        return {uid, id};
    }

    // A player of the tone on the stereo sink (`player`), tapped onto that sink at half gain, muted
    // or not; nothing when the player never shows as a process.
    std::unique_ptr<ProcessTap> tappedPlayer(bool muted, QProcess*& player) {
        player = &play(PrivatePipeWire::kStereoSink);
        const AudioObjectID process = processOf(player->processId());
        if (process == 0) return nullptr;
        auto tap = std::make_unique<ProcessTap>(kHalfGainFader, 1.0f, std::vector<AudioObjectID>{process}, muted);
        tap->start({output(PrivatePipeWire::kStereoSink)});
        return tap;
    }

    static bool near(float value, float expected) { return std::abs(value - expected) < 0.02f; }

    std::vector<std::unique_ptr<SinkProbe>> probes_;
};

}  // namespace quellor::test
