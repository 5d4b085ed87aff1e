// Taps, aggregates and the render pass on a real PipeWire server of the test's own: a half-scale tone
// from pw-play goes through a ProcessTap and is heard on the null sinks' monitors.
#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <csignal>
#include <cmath>
#include <memory>

#include "PrivatePipeWire.h"
#include "SinkProbe.h"
#include "TestEnvironment.h"
#include "engine/ProcessTap.h"
#include "platform/PipeWireHardware.h"

namespace quellor::test {
namespace {

class PipeWireRenderTest : public QuellorTest {
protected:
    void SetUp() override {
        if (auto missing = PrivatePipeWire::missingProgram())
            GTEST_SKIP() << "needs " << missing->toStdString() << " (bash scripts/deps.sh installs it)";
        pipewire_ = std::make_unique<PrivatePipeWire>();
        ASSERT_TRUE(pipewire_->ok()) << pipewire_->error().toStdString();
        hardware_ = std::make_unique<PipeWireHardware>();
        ASSERT_TRUE(hardware_->start());
        AudioHardware::install(hardware_.get());
    }
    void TearDown() override {
        probes_.clear();
        hardware_.reset();
        AudioHardware::install(nullptr);
    }

    bool eventually(const std::function<bool()>& condition, double seconds = 20.0) {
        return PrivatePipeWire::waitUntil(condition, [this] {
            advance(0.02);
            for (auto& p : probes_) p->poll();
        }, seconds);
    }

    SinkProbe& probe(const char* sink, int channels) {
        probes_.push_back(std::make_unique<SinkProbe>(pipewire_->environment(), sink, channels));
        return *probes_.back();
    }

    // pw-play of a 440 Hz tone at half scale, aimed at `sink`.
    QProcess& play(const char* sink) {
        const QString file = pipewire_->folder() + "/half.wav";
        if (!QFile::exists(file))
            pipewire_->run("sox", {"-n", "-r", "48000", "-c", "2", "-b", "16", file, "synth", "60", "sine", "440", "vol", "0.5"});
        return pipewire_->launch("pw-play", {"--target", sink, file});
    }

    // The process object of a pid, once the hardware lists it.
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

    static bool near(float value, float expected) { return std::abs(value - expected) < 0.02f; }

    std::unique_ptr<PrivatePipeWire> pipewire_;
    std::unique_ptr<PipeWireHardware> hardware_;
    std::vector<std::unique_ptr<SinkProbe>> probes_;
};

constexpr float kHalfGainFader = 0.7937005f;  // its cube is 0.5

TEST_F(PipeWireRenderTest, TheToneReachesTheSinkOnlyThroughTheMixAndComesBackWhenTheTapGoes) {
    SinkProbe& stereo = probe(PrivatePipeWire::kStereoSink, 2);
    QProcess& player = play(PrivatePipeWire::kStereoSink);
    ASSERT_TRUE(eventually([&] { return near(stereo.peak(0), 0.5f); })) << stereo.peak(0);
    const AudioObjectID process = processOf(player.processId());
    ASSERT_NE(process, 0u);

    auto tap = std::make_unique<ProcessTap>(kHalfGainFader, 1.0f, std::vector<AudioObjectID>{process}, false);
    tap->start({output(PrivatePipeWire::kStereoSink)});
    // Half of the half-scale tone, and nothing more: the application's own path is silent.
    EXPECT_TRUE(eventually([&] { return near(stereo.peak(0), 0.25f) && near(stereo.peak(1), 0.25f); }))
        << stereo.peak(0) << " " << stereo.peak(1);
    tap->setMuted(true);
    EXPECT_TRUE(eventually([&] { return stereo.peak(0) < 0.001f; })) << stereo.peak(0);

    // A fader move ramps: on the way from a quarter to a half the level passes through between.
    tap->setMuted(false);
    ASSERT_TRUE(eventually([&] { return near(stereo.peak(0), 0.25f); }));
    const std::size_t mark = stereo.frames();
    tap->setVolume(1.0f);
    ASSERT_TRUE(eventually([&] { return near(stereo.peak(0), 0.5f); })) << stereo.peak(0);
    int between = 0;
    for (float p : stereo.blockPeaks(0, mark, 240)) between += p > 0.28f && p < 0.47f;
    EXPECT_GE(between, 2);

    tap.reset();
    EXPECT_TRUE(eventually([&] { return near(stereo.peak(0), 0.5f) && near(stereo.peak(1), 0.5f); }))
        << stereo.peak(0);
}

}  // namespace
}  // namespace quellor::test
