// The kernel against explicit expectations and against the frame-by-frame reference model.
#include <gtest/gtest.h>

#include <cmath>
#include <atomic>
#include <cstring>
#include <limits>
#include <thread>
#include <vector>

#include "RenderReference.h"
#include "VectorWidths.h"
#include "engine/RenderKernel.h"

namespace quellor {
namespace {

using kernel::ChannelWindow;

TEST(RenderKernel, ChannelWindowFitsTheDevice) {
    struct Case { int offset, width, channels; ChannelWindow expected; };
    const Case cases[] = {
        {2, 2, 4, {2, 2}},  {2, 2, 2, {1, 1}},  {0, 0, 0, {0, 1}},   {3, 2, 4, {3, 1}},
        {-4, 2, 4, {0, 2}}, {0, 2, 1, {0, 1}},  {6, 2, 18, {6, 2}},  {0, 8, 4, {0, 4}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(kernel::channelWindow(c.offset, c.width, c.channels), c.expected)
            << c.offset << "," << c.width << "," << c.channels;
    }
}

// Input sample of frame f, channel c: distinct, signed and not exactly representable products.
float sampleAt(std::size_t f, int c) { return (f % 2 ? -1.0f : 1.0f) * (0.1f + 0.013f * c + 0.0007f * f); }

std::vector<float> makeInput(int channels, std::size_t frames) {
    std::vector<float> v(frames * std::max(channels, 1));
    for (std::size_t f = 0; f < frames; ++f)
        for (int c = 0; c < std::max(channels, 1); ++c) v[f * std::max(channels, 1) + c] = sampleAt(f, c);
    return v;
}

bool sameBits(const std::vector<float>& a, const std::vector<float>& b) {
    return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * 4) == 0;
}

struct MappingCase {
    const char* name;
    int inChannels, outChannels, first, count;
    std::vector<float> frame1AtHalf;  // output frame 1 at a resting gain of 0.5 (9 = untouched)
};

// Frame 1 of the input.
float x(int c) { return sampleAt(1, c); }

const MappingCase kMappings[] = {
    {"stereo into stereo", 2, 2, 0, 2, {x(0) * 0.5f, x(1) * 0.5f}},
    {"mono spread", 1, 2, 0, 2, {x(0) * 0.5f, x(0) * 0.5f}},
    {"stereo to mono mean", 2, 1, 0, 1, {(x(0) + x(1)) / 2.0f * 0.5f}},
    {"stereo into four", 2, 4, 0, 4, {x(0) * 0.5f, x(1) * 0.5f, 0.0f, 0.0f}},
    {"six into stereo", 6, 2, 0, 2, {x(0) * 0.5f, x(1) * 0.5f}},
    {"stereo into pair 2 of 8", 2, 8, 2, 2, {9, 9, x(0) * 0.5f, x(1) * 0.5f, 9, 9, 9, 9}},
    {"mono into one of 4", 1, 4, 3, 1, {9, 9, 9, x(0) * 0.5f}},
};

TEST(RenderKernel, MappingTableAtRestAndAgainstTheReferenceWhileRamping) {
    for (const MappingCase& m : kMappings) {
        SCOPED_TRACE(m.name);
        const auto in = makeInput(m.inChannels, 700);
        const int outStride = std::max(m.outChannels, 1);
        std::vector<float> out(700 * outStride, 9.0f);
        float g = kernel::renderGainRamp(0.5f, 0.5f, 0.01f, in.data(), m.inChannels, in.size(),
                                         out.data(), m.outChannels, out.size(), m.first, m.count);
        EXPECT_EQ(g, 0.5f);
        const std::vector<float> frame1(out.begin() + outStride, out.begin() + 2 * outStride);
        EXPECT_EQ(frame1, m.frame1AtHalf);

        // A ramp long enough to cross several internal chunks and to stall at its target.
        for (float k : {0.0007f, 0.05f}) {
            std::vector<float> expected(700 * outStride, 9.0f), actual = expected;
            const float want = reference::ramp(0.9f, 0.1f, k, in.data(), m.inChannels, in.size(),
                                               expected.data(), m.outChannels, expected.size(), m.first, m.count);
            g = kernel::renderGainRamp(0.9f, 0.1f, k, in.data(), m.inChannels, in.size(), actual.data(),
                                       m.outChannels, actual.size(), m.first, m.count);
            EXPECT_EQ(g, want) << k;
            EXPECT_TRUE(sameBits(expected, actual)) << k;
        }
    }
}

TEST(RenderKernel, RampStepsSnapAndFrameCounts) {
    const std::vector<float> ones(8, 1.0f);
    std::vector<float> out(6, 9.0f);
    // Mono ones into a mono output: each output sample is that frame's gain.
    EXPECT_EQ(kernel::renderGainRamp(1.0f, 0.0f, 0.5f, ones.data(), 1, 3, out.data(), 1, 3, 0, 1), 0.125f);
    EXPECT_EQ((std::vector<float>{out[0], out[1], out[2], out[3]}), (std::vector<float>{0.5f, 0.25f, 0.125f, 9.0f}));

    // No frames: only the result snap applies.
    EXPECT_EQ(kernel::renderGainRamp(0.9999995f, 1.0f, 0.5f, ones.data(), 2, 0, out.data(), 2, 6, 0, 2), 1.0f);
    EXPECT_EQ(kernel::renderGainRamp(0.99f, 1.0f, 0.5f, ones.data(), 2, 0, out.data(), 2, 6, 0, 2), 0.99f);

    // 256 input frames into 512 output frames: the rest is left alone.
    const auto in = makeInput(2, 256);
    std::vector<float> wide(1024, 9.0f);
    kernel::renderGainRamp(0.3f, 0.3f, 0.1f, in.data(), 2, in.size(), wide.data(), 2, wide.size(), 0, 2);
    EXPECT_EQ(wide[511], in[511] * 0.3f);
    EXPECT_EQ(wide[512], 9.0f);
    EXPECT_EQ(wide[1023], 9.0f);
}

TEST(RenderKernel, RampThatStallsShortOfTheTargetSnapsAndBecomesTransparent) {
    // 48 kHz coefficient; just below 1 a step rounds back to the same gain, about 4e-5 short.
    const float k = 1.0f - std::exp(-1.0f / (48000.0f * 0.03f));
    float g = 0.99996f;
    ASSERT_EQ((1.0f - g) * k + g, g) << "the plain recurrence must stall here";
    const auto in = makeInput(2, 64);
    std::vector<float> out(128);
    EXPECT_EQ(kernel::renderGainRamp(g, 1.0f, k, in.data(), 2, in.size(), out.data(), 2, out.size(), 0, 2), 1.0f);
    EXPECT_TRUE(sameBits(out, in));  // unity gain passes the samples through unchanged
    // Further from the target the ramp still moves.
    g = 0.5f;
    EXPECT_GT(kernel::renderGainRamp(g, 1.0f, k, in.data(), 2, in.size(), out.data(), 2, out.size(), 0, 2), g);
}

// The fader-at-rest loops of every width, over every remainder their unrolled steps leave: the
// output bit for bit as the reference ramp writes it from its target, and the peak they report.
TEST(RenderKernel, RestingLoopsMatchTheReferenceAtEveryWidthAndLength) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    for (int bits : test::vectorWidths()) {
        const test::VectorWidth width(bits);
        for (std::size_t n = 0; n <= 70; ++n) {
            SCOPED_TRACE(testing::Message() << bits << "-bit, " << n << " samples");
            auto in = makeInput(1, n);
            if (n > 5) in[5] = nan;  // never a peak
            if (n > 6) in[6] = -0.0f;
            std::vector<float> out(n + 3, 9.0f);
            float peak = 0.0f;
            for (std::size_t i = 0; i < n; ++i)
                if (std::fabs(in[i]) > peak) peak = std::fabs(in[i]);
            EXPECT_EQ(kernel::scaleSamples(in.data(), out.data(), n, 0.3f), peak);
            for (std::size_t i = 0; i < n; ++i) {
                const float want = in[i] * 0.3f;
                ASSERT_EQ(std::memcmp(&out[i], &want, 4), 0) << i;
            }
            EXPECT_EQ(out[n], 9.0f);  // nothing written past the end
        }

        // Stereo into two pairs of an 8-, 6- and 4-channel stream, the input ending 2 frames
        // before the output.
        struct Pairs { int channels, main, phones; };
        for (const Pairs p : {Pairs{8, 2, 6}, Pairs{8, 0, 2}, Pairs{8, 6, 1}, Pairs{8, 5, 0}, Pairs{6, 4, 1}, Pairs{4, 0, 2}})
            for (std::size_t frames = 0; frames <= 13; ++frames) {
                SCOPED_TRACE(testing::Message() << bits << "-bit, " << p.channels << " channels, pairs at " << p.main
                                                << " and " << p.phones << ", " << frames << " frames");
                auto in = makeInput(2, frames);
                if (frames > 3) in[7] = nan;
                const std::size_t outSamples = (frames + 2) * std::size_t(p.channels);
                std::vector<float> expected(outSamples, 0.0f), actual(outSamples, 9.0f);
                const float tMain = 0.6f, tCue = -0.35f;  // a negative PHONES gain keeps its sign
                reference::ramp(tMain, tMain, 0.01f, in.data(), 2, in.size(), expected.data(), p.channels,
                                outSamples, p.main, 2);
                reference::ramp(tCue, tCue, 0.01f, in.data(), 2, in.size(), expected.data(), p.channels, outSamples,
                                p.phones, 2);
                const float mainPeak = kernel::restStereoPairs(tMain, tCue, 0.01f, in.data(), in.size(), actual.data(),
                                                               p.channels, outSamples, p.main, p.phones);
                EXPECT_TRUE(sameBits(expected, actual));
                EXPECT_EQ(mainPeak, reference::windowPeak(expected.data(), std::uint32_t(outSamples * 4), p.channels,
                                                          p.main, 2));
            }
    }
}

TEST(RenderKernel, PeakScans) {
    EXPECT_EQ(kernel::bufferPeak(IOBuffer{2, 64, nullptr}), -1.0f);
    float two[1] = {5.0f};
    EXPECT_EQ(kernel::bufferPeak(IOBuffer{1, 2, two}), 0.0f);

    const float nan = std::numeric_limits<float>::quiet_NaN();
    // 4 frames of 4 channels; the window is channels 1...2.
    std::vector<float> s = {9, 0.1f, -0.2f, 9, -9, nan, 0.3f, 9, 9, -0.7f, 0.0f, 9, 9, 0.4f, -0.5f, 9};
    for (int i = 0; i < 13; ++i) {  // the vector path and its scalar tail give the same answer
        std::vector<float> tail(s.begin() + i, s.end());
        EXPECT_EQ(kernel::bufferPeak(IOBuffer{1, std::uint32_t(tail.size() * 4), tail.data()}), 9.0f);
    }
    EXPECT_EQ(kernel::windowPeak(s.data(), 64, 4, 1, 2), 0.7f);
    EXPECT_EQ(kernel::windowPeak(s.data(), 16, 8, 0, 2), 0.0f);  // stride beyond the samples
    EXPECT_EQ(kernel::windowPeak(s.data(), 8, 0, 0, 1), 9.0f);   // stride 0 counts as 1
    EXPECT_EQ(kernel::windowPeak(s.data(), 0, 0, 0, 1), 0.0f);

    Relaxed<float> peak{0.5f}, post{0.8f};
    kernel::accumulateWindowPeaks(s.data(), 64, 4, 1, 2, peak, post);
    EXPECT_EQ(peak.load(), 0.7f);  // raised
    EXPECT_EQ(post.load(), 0.8f);  // kept: only a higher value is stored
    kernel::accumulatePostWindowPeak(s.data(), 64, 4, 0, 1, post);
    EXPECT_EQ(post.load(), 9.0f);
    EXPECT_EQ(peak.load(), 0.7f);
    kernel::accumulatePrePeak(s.data(), 64, peak);
    EXPECT_EQ(peak.load(), 9.0f);
}

// Two threads raise interleaved rising values at once: whatever the order, the highest survives.
TEST(RenderKernel, ConcurrentRaisesKeepTheHighest) {
    constexpr int kSteps = 200000;
    for (int round = 0; round < 5; ++round) {
        Relaxed<float> peak{0.0f};
        std::atomic<int> ready{0};
        auto raiser = [&](int parity) {
            ready.fetch_add(1);
            while (ready.load() < 2) {
            }
            for (int i = 0; i < kSteps; ++i) kernel::raise(peak, float(2 * i + parity));
        };
        std::thread odd(raiser, 1), even(raiser, 0);
        odd.join();
        even.join();
        EXPECT_EQ(peak.load(), float(2 * kSteps - 1)) << "round " << round;
    }
}

}  // namespace
}  // namespace quellor
