// Cost of one render pass per frame, beside a memcpy of the same output bytes in the same run.
// Layouts: 2-channel device (general path), 8- and 18-channel devices with MAIN and PHONES pairs,
// and a device with 4 stereo streams (pairs placed across streams). "rest": the gains sit at
// their targets (a fader at rest); "ramp": every pass starts a fresh 30 ms ramp. Every buffer
// starts on a cache line, as a device's do, for the memcpy as for the pass. The machine's load
// moves both figures; --benchmark_enable_random_interleaving=true with repetitions keeps their
// ratio steady. "bits" limits the render kernel's loops to one vector width (the processor's widest
// at most), so that each width's loops can be weighed against the narrower ones.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "engine/RenderKernel.h"
#include "engine/RenderPass.h"
#include "platform/IOBufferStorage.h"

namespace quellor {
namespace {

enum Layout { kStereo, kPaired8, kPaired18, kFourStreams };

std::vector<IOBufferStorage::Stream> outputsFor(Layout layout, std::uint32_t frames) {
    switch (layout) {
    case kStereo: return {{2, frames}};
    case kPaired8: return {{8, frames}};
    case kPaired18: return {{18, frames}};
    case kFourStreams: return {{2, frames}, {2, frames}, {2, frames}, {2, frames}};
    }
    return {};
}

void setRate(benchmark::State& state, std::uint32_t frames) {
    state.counters["ns/frame"] = benchmark::Counter(double(frames) * double(state.iterations()) / 1e9,
                                                    benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_Render(benchmark::State& state) {
    const auto layout = Layout(state.range(0));
    const auto frames = std::uint32_t(state.range(1));
    const bool ramp = state.range(2) != 0;
    kernel::limitVectorBits(int(state.range(3)));
    IOBufferStorage in({{2, frames}, {2, frames}}), out(outputsFor(layout, frames));
    for (std::size_t b = 0; b < in.size(); ++b)
        for (std::size_t i = 0; i < in.stream(b).size(); ++i) in.stream(b)[i] = std::sin(0.01f * float(i));
    TapRenderState tap;
    tap.pairedBuses.store(layout != kStereo);
    tap.mainOffset.store(layout == kPaired18 ? 8 : 0);
    tap.phonesOffset.store(layout == kPaired18 ? 10 : 2);
    tap.volume.store(0.8f);
    tap.cueVolume.store(0.8f);
    tap.rampCoefficient.store(1.0f - std::exp(-1.0f / (48000.0f * 0.03f)));
    const RenderTargets targets = renderTargets(tap.settings());
    const IOBufferList inList = in.list(), outList = out.list();
    for (auto _ : state) {
        tap.currentGain.store(ramp ? 0.0f : targets.main);
        tap.currentCueGain.store(ramp ? 0.0f : targets.cue);
        renderPass(tap, tap.settings(), inList, outList);
        benchmark::ClobberMemory();
    }
    kernel::limitVectorBits(512);
    setRate(state, frames);
}

void BM_Memcpy(benchmark::State& state) {
    const auto layout = Layout(state.range(0));
    const auto frames = std::uint32_t(state.range(1));
    IOBufferStorage src(outputsFor(layout, frames)), dst(outputsFor(layout, frames));
    for (auto _ : state) {
        for (std::size_t b = 0; b < src.size(); ++b) {
            std::memcpy(dst.samples(b), src.samples(b), src.buffer(b).byteSize);
            benchmark::DoNotOptimize(dst.samples(b));
        }
        benchmark::ClobberMemory();
    }
    setRate(state, frames);
}

// The ramp's own recurrence over the frames, nothing else: each frame's gain needs the previous
// one (difference, product, sum, each rounded), so no bit-exact ramp of one gain is faster than this
// in a callback of its own. (At short lengths successive iterations overlap in the processor, which
// calls far apart in time do not: the long runs give the figure per frame.)
void BM_GainChain(benchmark::State& state) {
    const auto frames = std::uint32_t(state.range(0));
    const float k = 1.0f - std::exp(-1.0f / (48000.0f * 0.03f));
    float target = 0.512f;
    for (auto _ : state) {
        float g = 0.0f;
        benchmark::DoNotOptimize(target);
        for (std::uint32_t f = 0; f < frames; ++f) g = (target - g) * k + g;  // no shortcut: each step rounds
        benchmark::DoNotOptimize(g);
    }
    setRate(state, frames);
}

// On a loaded machine the fastest repetition is the steadiest figure; report it beside the median.
double fastest(const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); }

void layouts(benchmark::internal::Benchmark* b, bool render) {
    b->ArgNames(render ? std::vector<std::string>{"layout", "frames", "ramp", "bits"}
                       : std::vector<std::string>{"layout", "frames", "ramp"});
    b->ComputeStatistics("min", fastest);
    std::vector<int> widths;
    for (int bits : {128, 256, 512})
        if (bits <= kernel::widestVectorBits()) widths.push_back(bits);
    for (int layout : {kStereo, kPaired8, kPaired18, kFourStreams})
        for (int frames : {32, 64, 128, 512, 4096})
            for (int ramp : render ? std::vector<int>{0, 1} : std::vector<int>{0}) {
                if (!render) b->Args({layout, frames, ramp});
                else
                    for (int bits : widths) b->Args({layout, frames, ramp, bits});
            }
}

BENCHMARK(BM_Render)->Apply([](benchmark::internal::Benchmark* b) { layouts(b, true); });
BENCHMARK(BM_Memcpy)->Apply([](benchmark::internal::Benchmark* b) { layouts(b, false); });
BENCHMARK(BM_GainChain)->Apply([](benchmark::internal::Benchmark* b) {
    b->ArgNames({"frames"});
    b->ComputeStatistics("min", fastest);
    for (int frames : {32, 64, 128, 512, 4096}) b->Args({frames});
});

}  // namespace
}  // namespace quellor

BENCHMARK_MAIN();
