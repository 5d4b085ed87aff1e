// The render pass: a table of settings and layouts compared bit for bit with the reference
// model, and the behaviours that matter to a listener checked against explicit values.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <utility>
#include <vector>

#include "RenderReference.h"
#include "VectorWidths.h"
#include "engine/RenderKernel.h"
#include "engine/RenderPass.h"
#include "platform/IOBufferStorage.h"

namespace quellor {
namespace {

using Streams = std::vector<IOBufferStorage::Stream>;

const float k48k = 1.0f - std::exp(-1.0f / (48000.0f * 0.03f));

// The reference tap doubles as the settings of a case: the production state starts as its copy.
reference::Tap caseSettings() {
    reference::Tap t;
    t.volume = 0.7f;
    t.cueVolume = 0.45f;
    t.phonesBusGain = 0.8f;
    t.currentGain = 0.2f;
    t.currentCueGain = 0.9f;
    t.rampCoefficient = k48k;
    return t;
}

void copyInto(const reference::Tap& s, TapRenderState& t) {
    t.volume.store(s.volume);
    t.isMuted.store(s.isMuted);
    t.cueVolume.store(s.cueVolume);
    t.phonesMode.store(s.phonesMode);
    t.pairedBuses.store(s.pairedBuses);
    t.mainOffset.store(s.mainOffset);
    t.phonesOffset.store(s.phonesOffset);
    t.pairWidth.store(s.pairWidth);
    t.phonesBusGain.store(s.phonesBusGain);
    t.panicked.store(s.panicked);
    t.meterPre.store(s.meterPre);
    t.currentGain.store(s.currentGain);
    t.currentCueGain.store(s.currentCueGain);
    t.rampCoefficient.store(s.rampCoefficient);
    t.isFloat32.store(s.isFloat32);
}

// Input list of a tap's aggregate: a sub-device input first, the tapped mixdown (stereo unless
// told otherwise) last.
struct Input {
    explicit Input(std::uint32_t frames, std::uint32_t tapChannels = 2)
        : storage({{2, frames}, {tapChannels, frames}}) {}
    void fill(std::uint32_t call) {
        std::uint32_t x = 2654435761u * (call + 1);
        for (std::size_t b = 0; b < storage.size(); ++b)
            for (float& v : storage.stream(b)) {
                x = x * 1664525u + 1013904223u;
                v = float(int(x >> 8) - (1 << 23)) / float(1 << 23);
            }
        auto& tap = storage.stream(1);
        if (call == 3) tap[5] = std::numeric_limits<float>::quiet_NaN();
        tap[7] = -0.0f;
    }
    void constant(float first, float tap) {
        std::fill(storage.stream(0).begin(), storage.stream(0).end(), first);
        std::fill(storage.stream(1).begin(), storage.stream(1).end(), tap);
    }
    const float* tap() { return storage.samples(1); }
    IOBufferStorage storage;
};

void prefill(IOBufferStorage& out, float v) {
    for (std::size_t i = 0; i < out.size(); ++i) std::fill(out.stream(i).begin(), out.stream(i).end(), v);
}

bool sameBits(IOBufferStorage& a, IOBufferStorage& b) {
    for (std::size_t i = 0; i < a.size(); ++i)
        if (a.stream(i).size() != b.stream(i).size() ||
            std::memcmp(a.samples(i), b.samples(i), a.stream(i).size() * 4) != 0)
            return false;
    return true;
}

struct Layout {
    const char* name;
    Streams outputs;
    bool paired;
    int mainOffset;
    int phonesOffset;
    std::uint32_t tapChannels = 2;
    std::uint32_t tapFrames = 256;
    int pairWidth = 2;
    std::uint32_t cutSamples = 0;     // taken off the end of the last output stream: a partial frame
    std::uint32_t cutTapSamples = 0;  // and off the end of the tap
};

const Layout kLayouts[] = {
    {"8-channel paired", {{8, 256}}, true, 2, 6},
    {"8-channel paired, pairs side by side, more frames than the tap", {{8, 300}}, true, 0, 2},
    {"4-channel paired, pairs filling the frame, odd frame count", {{4, 255}}, true, 0, 2},
    {"6-channel paired, PHONES left of MAIN", {{6, 256}}, true, 4, 1},
    {"8-channel paired, PHONES left of MAIN, fewer frames than the tap", {{8, 251}}, true, 5, 1},
    {"2-channel general", {{2, 256}}, false, 0, 2},
    {"2-channel general, fewer frames than the tap", {{2, 251}}, false, 0, 2},
    {"two stereo buffers paired", {{2, 256}, {2, 256}}, true, 0, 2},
    {"two stereo buffers unpaired", {{2, 256}, {2, 256}}, false, 0, 2},
    {"three stereo streams, pairs straddling", {{2, 256}, {2, 256}, {2, 256}}, true, 1, 3},
    {"two stereo streams, pairs sharing a channel", {{2, 256}, {2, 256}}, true, 0, 1},
    {"three stereo streams, a silent one between the pairs", {{2, 256}, {2, 256}, {2, 256}}, true, 0, 4},
    {"two stereo streams with more frames than the tap", {{2, 300}, {2, 300}}, true, 0, 2},
    {"two stereo streams of 600 frames from a 600-frame tap", {{2, 600}, {2, 600}}, true, 0, 2, 2, 600},
    {"8-channel paired, a partial last frame", {{8, 256}}, true, 2, 6, 2, 256, 2, 3},
    {"2-channel general, tap and stream ending in half a frame", {{2, 256}}, false, 0, 2, 2, 256, 2, 1, 1},
    {"mono tap into 8-channel pairs", {{8, 256}}, true, 2, 6, 1},
    {"6-channel tap into two stereo streams paired", {{2, 256}, {2, 256}}, true, 0, 2, 6},
    {"8-channel paired, pairs three wide", {{8, 256}}, true, 0, 4, 2, 256, 3},
    {"8-channel paired, pairs one wide", {{8, 256}}, true, 1, 5, 2, 256, 1},
};

// Takes `samples` off the end of a buffer, so that it ends in part of a frame.
void cut(IOBuffer& buffer, std::uint32_t samples) { buffer.byteSize -= 4 * samples; }

using test::VectorWidth;
using test::vectorWidths;

// A case either starts mid-ramp (the gains of caseSettings) or at rest: the gains at their targets
// and the one-time diagnostics done, the state of a tap that has played for a while.
void startAtRest(reference::Tap& model, TapRenderState& state) {
    const RenderTargets targets = renderTargets(state.settings());
    model.currentGain = targets.main;
    model.currentCueGain = targets.cue;
    state.currentGain.store(targets.main);
    state.currentCueGain.store(targets.cue);
    state.shapeLogged.store(true);
    state.diagLogged.store(true);
}

TEST(RenderPass, TableMatchesTheReferenceModelBitForBit) {
    for (int bits : vectorWidths())
        for (bool resting : {false, true})
        for (const Layout& layout : kLayouts)
            for (PhonesMode mode : {PhonesMode::MirrorsMain, PhonesMode::CueLevel, PhonesMode::Silent, PhonesMode(7)})
                for (bool muted : {false, true})
                    for (bool panicked : {false, true})
                        for (bool meterPre : {false, true}) {
                            const VectorWidth width(bits);
                            SCOPED_TRACE(testing::Message() << layout.name << " " << bits << "-bit" << (resting ? " resting" : "")
                                                            << " mode " << int(mode) << " muted " << muted
                                                            << " panicked " << panicked << " pre " << meterPre);
                            reference::Tap model = caseSettings();
                            model.phonesMode = mode;
                            model.isMuted = muted;
                            model.panicked = panicked;
                            model.meterPre = meterPre;
                            model.pairedBuses = layout.paired;
                            model.mainOffset = layout.mainOffset;
                            model.phonesOffset = layout.phonesOffset;
                            model.pairWidth = layout.pairWidth;
                            TapRenderState state;
                            copyInto(model, state);
                            if (resting) startAtRest(model, state);
                            Input input(layout.tapFrames, layout.tapChannels);
                            cut(input.storage.buffer(1), layout.cutTapSamples);
                            IOBufferStorage out(layout.outputs), expected(layout.outputs);
                            cut(out.buffer(out.size() - 1), layout.cutSamples);
                            cut(expected.buffer(expected.size() - 1), layout.cutSamples);
                            for (std::uint32_t call = 1; call <= (resting ? 20u : 200u); ++call) {
                                input.fill(call);
                                prefill(out, 7.0f);
                                prefill(expected, 7.0f);
                                renderPass(state, state.settings(), input.storage.list(), out.list());
                                reference::render(model, input.storage.list(), expected.list());
                                ASSERT_TRUE(sameBits(out, expected)) << "call " << call;
                                ASSERT_EQ(state.currentGain.load(), model.currentGain) << call;
                                ASSERT_EQ(state.currentCueGain.load(), model.currentCueGain) << call;
                                ASSERT_EQ(state.renderCount.load(), call);
                                // Taken every call, as the meter clock takes them, so each call's
                                // peaks are compared rather than the largest so far.
                                ASSERT_EQ(state.peak.exchange(0.0f), std::exchange(model.peak, 0.0f)) << call;
                                ASSERT_EQ(state.postPeak.exchange(0.0f), std::exchange(model.postPeak, 0.0f)) << call;
                            }
                        }
}

// Runs `calls` cycles of constant input (first input buffer 0.25, tap 0.5) into fresh outputs.
struct Rig {
    Rig(Streams outputs, std::uint32_t frames = 256) : input(frames), out(std::move(outputs)) {
        input.constant(0.25f, 0.5f);
    }
    void run(int calls = 1) {
        for (int i = 0; i < calls; ++i) {
            prefill(out, 7.0f);
            renderPass(state, state.settings(), input.storage.list(), out.list());
        }
    }
    std::vector<float> frame(std::size_t stream, std::size_t f) {
        const std::size_t ch = out.buffer(stream).channels;
        return {out.samples(stream) + f * ch, out.samples(stream) + (f + 1) * ch};
    }
    TapRenderState state;
    Input input;
    IOBufferStorage out;
};

TEST(RenderPass, MutedUnpairedTapIsSilentAtOnceAndKeepsItsGain) {
    for (bool meterPre : {false, true}) {
        Rig rig({{2, 256}});
        rig.state.volume.store(1.0f);
        rig.state.currentGain.store(1.0f);
        rig.state.isMuted.store(true);
        rig.state.meterPre.store(meterPre);
        rig.run();
        EXPECT_EQ(rig.frame(0, 0), (std::vector<float>{0, 0}));
        EXPECT_EQ(rig.frame(0, 255), (std::vector<float>{0, 0}));
        EXPECT_EQ(rig.state.renderCount.load(), 1u);
        EXPECT_EQ(rig.state.currentGain.load(), 1.0f);
        EXPECT_EQ(rig.state.peak.load(), meterPre ? 0.5f : 0.0f);
        EXPECT_EQ(rig.state.postPeak.load(), 0.0f);
    }
}

TEST(RenderPass, PairedCueKeepsPlayingOnPhonesWhileMainRampsDown) {
    Rig rig({{8, 256}});
    rig.state.pairedBuses.store(true);
    rig.state.volume.store(1.0f);
    rig.state.currentGain.store(1.0f);
    rig.state.isMuted.store(true);
    rig.state.phonesMode.store(PhonesMode::CueLevel);
    rig.state.cueVolume.store(0.5f);
    rig.state.currentCueGain.store(0.125f * 0.5f);
    rig.state.phonesBusGain.store(0.5f);
    rig.state.rampCoefficient.store(0.05f);
    rig.run();
    EXPECT_GT(rig.frame(0, 0)[0], 0.4f);   // MAIN starts where it was...
    EXPECT_LT(rig.frame(0, 255)[0], 0.01f);  // ...and ramps towards 0
    rig.run(5);
    EXPECT_EQ(rig.frame(0, 100), (std::vector<float>{0, 0, 0.5f * 0.0625f, 0.5f * 0.0625f, 0, 0, 0, 0}));
    EXPECT_EQ(rig.state.currentGain.load(), 0.0f);
}

TEST(RenderPass, OverlappingWindowsLetThePhonesCueWin) {
    Rig rig({{4, 64}});
    rig.state.pairedBuses.store(true);
    rig.state.phonesOffset.store(0);
    rig.state.volume.store(1.0f);
    rig.state.currentGain.store(1.0f);
    rig.state.phonesMode.store(PhonesMode::Silent);  // the shared pair goes silent
    rig.state.currentCueGain.store(0.0f);
    rig.run();
    EXPECT_EQ(rig.frame(0, 10), (std::vector<float>{0, 0, 0, 0}));
    EXPECT_EQ(rig.state.postPeak.load(), 0.0f);
}

TEST(RenderPass, PairedTapOnATooSmallDeviceCopiesMainToEveryChannel) {
    Rig rig({{2, 64}});
    rig.state.pairedBuses.store(true);  // offsets 0 and 2 need 4 channels
    rig.state.volume.store(1.0f);
    rig.state.currentGain.store(1.0f);
    rig.state.phonesMode.store(PhonesMode::Silent);
    rig.run();
    EXPECT_EQ(rig.frame(0, 10), (std::vector<float>{0.5f, 0.5f}));
    EXPECT_TRUE(rig.state.shapeLogged.load());
}

TEST(RenderPass, DeviceWithSeveralStreamsGetsEachPairOnlyInItsOwnStream) {
    Rig rig({{2, 64}, {2, 64}, {2, 64}, {2, 64}});
    rig.state.pairedBuses.store(true);
    rig.state.phonesOffset.store(2);
    rig.state.volume.store(0.5f);
    rig.state.currentGain.store(0.125f);
    rig.state.phonesMode.store(PhonesMode::CueLevel);
    rig.state.cueVolume.store(1.0f);
    rig.state.currentCueGain.store(1.0f);
    rig.run();
    EXPECT_EQ(rig.frame(0, 10), (std::vector<float>{0.0625f, 0.0625f}));  // MAIN at fader 0.5
    EXPECT_EQ(rig.frame(1, 10), (std::vector<float>{0.5f, 0.5f}));        // PHONES cue at 1.0
    EXPECT_EQ(rig.frame(2, 10), (std::vector<float>{0, 0}));
    EXPECT_EQ(rig.frame(3, 10), (std::vector<float>{0, 0}));
    EXPECT_EQ(rig.state.postPeak.load(), 0.0625f);
}

TEST(RenderPass, PairsOverStreamsOfUnequalLengthTakeTheGainWhereTheWindowsFirstStreamEnds) {
    // MAIN straddles a 100-frame stream and a 256-frame one; PHONES lies in a third.
    Rig rig({{2, 100}, {2, 256}, {2, 256}});
    rig.state.pairedBuses.store(true);
    rig.state.mainOffset.store(1);
    rig.state.phonesOffset.store(4);
    rig.state.volume.store(1.0f);
    rig.state.currentGain.store(0.0f);
    rig.state.rampCoefficient.store(k48k);
    rig.run();
    float g = 0.0f;
    for (int f = 0; f < 100; ++f) g = (1.0f - g) * k48k + g;
    EXPECT_EQ(rig.state.currentGain.load(), g);
    // The second stream carries MAIN's right channel for all of its frames, the ramp going on.
    g = 0.0f;
    for (int f = 0; f < 200; ++f) g = (1.0f - g) * k48k + g;
    EXPECT_EQ(rig.frame(1, 199)[0], 0.5f * g);
    EXPECT_EQ(rig.frame(0, 99)[0], 0.0f);  // left of MAIN: silent
}

TEST(RenderPass, TwoOutputBuffersUnpairedContinueTheRampAcrossBuffers) {
    Rig rig({{2, 4}, {2, 4}}, 4);
    rig.state.volume.store(0.0f);
    rig.state.currentGain.store(1.0f);
    rig.state.rampCoefficient.store(0.5f);
    rig.run();
    EXPECT_EQ(rig.frame(0, 0)[0], 0.5f * 0.5f);
    EXPECT_EQ(rig.frame(1, 0)[0], 0.5f * 0.03125f);  // fifth step, not the first again
}

TEST(RenderPass, NonFloatDevicePassesTheBytesThrough) {
    Rig rig({{2, 1024}});  // 4096 bytes out, the tap buffer holds 256 frames = 2048 bytes
    rig.state.isFloat32.store(false);
    rig.state.volume.store(0.1f);
    rig.state.currentGain.store(0.3f);
    rig.run();
    EXPECT_EQ(std::memcmp(rig.out.samples(0), rig.input.tap(), 2048), 0);
    EXPECT_EQ(rig.frame(0, 256), (std::vector<float>{0, 0}));
    EXPECT_EQ(rig.frame(0, 1023), (std::vector<float>{0, 0}));
    EXPECT_EQ(rig.state.currentGain.load(), 0.3f);
    EXPECT_EQ(rig.state.peak.load(), 0.0f);
}

TEST(RenderPass, GainLawClampsAndReadsNotANumberAsFullLevel) {
    EXPECT_EQ(cubedLevel(0.5f), 0.125f);
    EXPECT_EQ(cubedLevel(1.5f), 1.0f);
    EXPECT_EQ(cubedLevel(-0.2f), 0.0f);
    EXPECT_EQ(cubedLevel(std::numeric_limits<float>::quiet_NaN()), 1.0f);
    TapRenderState s;
    s.volume.store(0.5f);
    s.phonesMode.store(PhonesMode(7));
    s.phonesBusGain.store(0.5f);
    EXPECT_EQ(renderTargets(s.settings()).main, 0.125f);
    EXPECT_EQ(renderTargets(s.settings()).cue, 0.0625f);  // unknown modes mirror MAIN
    s.panicked.store(true);
    EXPECT_EQ(renderTargets(s.settings()).main, 0.0f);
    EXPECT_EQ(renderTargets(s.settings()).cue, 0.0f);
}

TEST(RenderPass, DiagnosticLinesAreRecordedOnTheGeneralPathOnly) {
    Rig rig({{2, 256}});
    rig.state.volume.store(1.0f);
    rig.state.currentGain.store(1.0f);
    rig.run(499);
    IODiagnostic d;
    ASSERT_TRUE(rig.state.diagnostics.pop(d));
    EXPECT_EQ(d.text(), "SHAPE out[1]: 2ch/2048B | in[2]: 2ch/2048B 2ch/2048B | float32=true");
    EXPECT_FALSE(rig.state.diagnostics.pop(d));  // nothing at call 499
    rig.run();
    ASSERT_TRUE(rig.state.diagnostics.pop(d));
    EXPECT_EQ(d.text(), "PEAKDIAG n=500 inPeaks=[0.2500 0.5000] outPeaks=[0.5000] target=1.000000 "
                        "vol=1.000000 maxTap=0.500000 maxIn0=0.250000");
    rig.run(2500);
    std::vector<std::uint64_t> counts;
    while (rig.state.diagnostics.pop(d)) counts.push_back(d.renderCount);
    EXPECT_EQ(counts, (std::vector<std::uint64_t>{1000, 1500, 2000, 2500}));

    Rig paired({{8, 256}});
    paired.state.pairedBuses.store(true);
    paired.run(500);
    EXPECT_TRUE(paired.state.diagnostics.empty());
}

}  // namespace
}  // namespace quellor
