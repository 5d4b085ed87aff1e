#include "engine/RenderPass.h"

#include <algorithm>
#include <cstring>

#include "engine/BusLayout.h"
#include "engine/RenderKernel.h"

namespace quellor {

namespace {

using kernel::ChannelWindow;

int strideOf(std::uint32_t channels) { return channels >= 2 ? static_cast<int>(channels) : 1; }

// The MAIN target alone, all the general path needs.
float mainTargetFor(const TapSettings& s) { return s.isMuted || s.panicked ? 0.0f : cubedLevel(s.volume); }

RenderTargets targetsFor(const TapSettings& s) {
    if (s.panicked) return {};  // both silent
    RenderTargets t;
    t.main = s.isMuted ? 0.0f : cubedLevel(s.volume);
    switch (s.phonesMode) {
    case PhonesMode::CueLevel: t.cue = cubedLevel(s.cueVolume); break;
    case PhonesMode::Silent: t.cue = 0.0f; break;
    case PhonesMode::MirrorsMain:
    default: t.cue = t.main; break;
    }
    t.cue = t.cue * s.phonesBusGain;
    return t;
}

void zeroBuffer(const IOBuffer& b) { kernel::zeroSamples(b.samples(), static_cast<long>(b.sampleCount())); }

// A device format that is not 32-bit float: the tapped bytes go through untouched.
[[gnu::noinline]] void passThrough(const IOBuffer* tap, const IOBufferList& output) {
    for (const IOBuffer& b : output) {
        if (!b.data) continue;
        if (!tap) {
            std::memset(b.data, 0, b.byteSize);
            continue;
        }
        const std::uint32_t n = std::min(tap->byteSize, b.byteSize);
        std::memcpy(b.data, tap->data, n);
        std::memset(static_cast<char*>(b.data) + n, 0, b.byteSize - n);
    }
}

// A muted tap without paired buses is cut at once; the ramps keep their gains, so unmuting resumes
// from where they were.
[[gnu::noinline]] void cutMuted(TapRenderState& s, const TapSettings& settings, const IOBuffer* tap,
                                const IOBufferList& output) {
    if (settings.meterPre && settings.isFloat32 && tap && tap->data)
        kernel::accumulatePrePeak(tap->samples(), tap->byteSize, s.peak);
    for (const IOBuffer& b : output)
        if (b.data) zeroBuffer(b);
}

// Paired buses: MAIN and PHONES windows placed by absolute channel on the device (BusLayout). A
// device whose output is split into several streams numbers its channels across them in stream
// order, so a window lands in the stream (or streams) that carry its channels and nowhere else.
//
// The device's channel count (a stream of fewer than two channels counts as one) when the paired
// path applies, 0 when it does not: one pass over the streams serves both.
long long pairedDeviceChannels(const BusLayout& l, const IOBuffer* tap, const IOBufferList& output) {
    if (output.count == 0 || !tap || !tap->data) return 0;
    long long channels = 0, deviceChannels = 0;
    for (const IOBuffer& b : output) {
        if (!b.data) return 0;
        channels += b.channels;
        deviceChannels += strideOf(b.channels);
    }
    return channels >= static_cast<long long>(std::max(l.mainOffset, l.phonesOffset)) + l.width ? deviceChannels
                                                                                                       : 0;
}

bool pairedPathApplies(const BusLayout& l, const IOBuffer* tap, const IOBufferList& output) {
    return pairedDeviceChannels(l, tap, output) != 0;
}

// Calls fn(buffer, first channel in the buffer, first window channel, channel count) for each
// stream that holds part of `window`, in stream order.
template <class Fn>
void forEachWindowPart(const IOBufferList& output, ChannelWindow window, Fn fn) {
    long long base = 0;
    for (const IOBuffer& b : output) {
        const long long width = strideOf(b.channels);
        const long long lo = std::max<long long>(window.first, base);
        const long long hi = std::min<long long>(window.first + window.count, base + width);
        if (lo < hi) fn(b, int(lo - base), int(lo - window.first), int(hi - lo));
        base += width;
    }
}

struct WindowResult {
    float gain;
    float peak;  // largest absolute value written
};

// The frames a window part in stream `b` renders: those both the tap and the stream hold.
std::size_t partFrames(const IOBuffer& tap, const IOBuffer& b) {
    return std::min(kernel::framesIn(tap.sampleCount(), strideOf(tap.channels)),
                    kernel::framesIn(b.sampleCount(), strideOf(b.channels)));
}

// Frames of both windows' gains computed ahead of their parts; sized for a realtime thread's stack.
constexpr std::size_t kGainChunk = 256;

// Both windows, their ramps stepped side by side so that a frame waits for one step of the gain
// chain rather than two. In every run of frames MAIN's parts are written before PHONES', so where
// the windows overlap the cue wins, as when MAIN is rendered whole and then PHONES.
void renderWindows(const IOBuffer& tap, const IOBufferList& output, ChannelWindow mainWindow,
                   ChannelWindow phonesWindow, float k, float mainTarget, float cueTarget, WindowResult& main,
                   WindowResult& cue) {
    const int inStride = strideOf(tap.channels);
    // Runs `write(tap from frame `from`, stream from frame `from`, stream channels, frames, part)`
    // for each part of `window` that has frames from `from` on, at most `count` of them.
    auto eachPart = [&](ChannelWindow window, std::size_t from, std::size_t count, auto write) {
        forEachWindowPart(output, window, [&](const IOBuffer& b, int outFirst, int partFirst, int partCount) {
            const std::size_t n = partFrames(tap, b);
            if (n <= from) return;
            const int outStride = strideOf(b.channels);
            write(tap.samples() + from * std::size_t(inStride), b.samples() + from * std::size_t(outStride),
                  int(b.channels), std::min(count, n - from), outFirst, window.count, partFirst, partCount);
        });
    };
    // Both ramps at rest from frame `from` on: every remaining frame of a window takes its target.
    auto restFrom = [&](std::size_t from) {
        const auto atRest = [&](float target, float& peak) {
            return [&, target](const float* in, float* out, int outChannels, std::size_t n, int outFirst, int width,
                               int partFirst, int partCount) {
                float written = 0.0f;
                kernel::renderGainRampPart(target, target, k, in, int(tap.channels), n * std::size_t(inStride), out,
                                           outChannels, n * std::size_t(strideOf(std::uint32_t(outChannels))),
                                           outFirst, width, partFirst, partCount, &written);
                peak = std::max(peak, written);
            };
        };
        constexpr std::size_t kAll = ~std::size_t(0);
        eachPart(mainWindow, from, kAll, atRest(mainTarget, main.peak));
        eachPart(phonesWindow, from, kAll, atRest(cueTarget, cue.peak));
    };
    auto bothRest = [&](float gm, float gc) {
        return gm == mainTarget && kernel::restsOn(mainTarget, k) && gc == cueTarget && kernel::restsOn(cueTarget, k);
    };
    if (bothRest(main.gain, cue.gain)) {
        // The common case: the gains stay where they are.
        restFrom(0);
        return;
    }

    // Streams of one device share their frame count; a window's first stream decides its gain.
    constexpr std::size_t kNone = ~std::size_t(0);
    std::size_t frames = 0, mainDecides = kNone, cueDecides = kNone;
    const auto measure = [&](std::size_t& decides) {
        return [&](const IOBuffer& b, int, int, int) {
            const std::size_t n = partFrames(tap, b);
            frames = std::max(frames, n);
            if (decides == kNone) decides = n;
        };
    };
    forEachWindowPart(output, mainWindow, measure(mainDecides));
    forEachWindowPart(output, phonesWindow, measure(cueDecides));

    float gm = main.gain, gc = cue.gain;
    float gains[2 * kGainChunk];
    for (std::size_t done = 0; done < frames;) {
        if (bothRest(gm, gc)) {
            restFrom(done);
            if (mainDecides > done) main.gain = mainTarget;
            if (cueDecides > done) cue.gain = cueTarget;
            break;
        }
        const std::size_t n = std::min(kGainChunk, frames - done);
        kernel::rampGainPair(gm, mainTarget, gc, cueTarget, k, gains, n);
        const auto ramped = [&](const float* lane, float& peak) {
            return [&, lane](const float* in, float* out, int outChannels, std::size_t count, int outFirst, int width,
                             int partFirst, int partCount) {
                peak = std::max(peak, kernel::applyPairedGains(lane, in, int(tap.channels), out, outChannels, count,
                                                               outFirst, width, partFirst, partCount));
            };
        };
        eachPart(mainWindow, done, n, ramped(gains, main.peak));
        eachPart(phonesWindow, done, n, ramped(gains + 1, cue.peak));
        if (mainDecides > done && mainDecides <= done + n) main.gain = gains[2 * (mainDecides - 1 - done)];
        if (cueDecides > done && cueDecides <= done + n) cue.gain = gains[2 * (cueDecides - 1 - done) + 1];
        done += n;
    }
    main.gain = kernel::snappedGain(main.gain, mainTarget);
    cue.gain = kernel::snappedGain(cue.gain, cueTarget);
}

bool overlap(ChannelWindow a, ChannelWindow b) {
    return a.first < b.first + b.count && b.first < a.first + a.count;
}

// Silence wherever the windows will not write. A stream whose every channel lies in a window is
// written whole for the frames the windows render, so it needs zeros only after them.
void zeroOutsideWindows(const IOBuffer& tap, const IOBufferList& output, ChannelWindow a, ChannelWindow b) {
    const long long aEnd = a.first + a.count, bEnd = b.first + b.count;
    const auto covers = [](long long first, long long end, long long lo, long long hi) { return first <= lo && hi <= end; };
    long long base = 0;
    for (const IOBuffer& stream : output) {
        const int width = strideOf(stream.channels);
        const long long lo = base, hi = base + width;
        base = hi;
        const bool covered = covers(a.first, aEnd, lo, hi) || covers(b.first, bEnd, lo, hi) ||
                             (a.first <= bEnd && b.first <= aEnd &&
                              covers(std::min<long long>(a.first, b.first), std::max(aEnd, bEnd), lo, hi));
        const std::size_t written = covered ? partFrames(tap, stream) * std::size_t(width) : 0;
        kernel::zeroSamples(stream.samples() + written, long(stream.sampleCount() - written));
    }
}

// The meters of a paired cycle: what MAIN carries after the fader, or the tapped input before it.
void raisePairedPeaks(TapRenderState& s, bool meterPre, const IOBuffer& tap, float mainPeak) {
    if (meterPre) {
        kernel::accumulatePrePeak(tap.samples(), tap.byteSize, s.peak);
    } else {
        kernel::raise(s.peak, mainPeak);
    }
    kernel::raise(s.postPeak, mainPeak);
}

void renderPaired(TapRenderState& s, const TapSettings& settings, long long deviceChannels,
                  const RenderTargets& targets, const IOBuffer& tap, const IOBufferList& output) {
    const BusLayout& l = settings.buses;
    const int channels = int(std::min<long long>(deviceChannels, 1 << 30));
    const ChannelWindow mainWindow = kernel::channelWindow(l.mainOffset, l.width, channels);
    const ChannelWindow phonesWindow = kernel::channelWindow(l.phonesOffset, l.width, channels);

    const float k = settings.rampCoefficient;
    const float mainGain = s.currentGain.load(), cueGain = s.currentCueGain.load();
    if (output.count == 1 && tap.channels == 2 && mainWindow.count == 2 && phonesWindow.count == 2 &&
        !overlap(mainWindow, phonesWindow)) {
        // The common shape: one stream, two stereo pairs apart. One pass writes the whole buffer.
        const IOBuffer& b = output[0];
        if (mainGain == targets.main && cueGain == targets.cue && kernel::restsOn(targets.main, k) &&
            kernel::restsOn(targets.cue, k)) {
            // Both faders at rest, the common case: the gains stay.
            const float mainPeak =
                kernel::restStereoPairs(targets.main, targets.cue, k, tap.samples(), tap.sampleCount(), b.samples(),
                                        int(b.channels), b.sampleCount(), mainWindow.first, phonesWindow.first);
            raisePairedPeaks(s, settings.meterPre, tap, mainPeak);
            return;
        }
        const kernel::StereoPairs r = kernel::renderStereoPairs(
            mainGain, targets.main, cueGain, targets.cue, k, tap.samples(), tap.sampleCount(), b.samples(),
            int(b.channels), b.sampleCount(), mainWindow.first, phonesWindow.first);
        raisePairedPeaks(s, settings.meterPre, tap, r.mainPeak);
        s.currentGain.store(r.mainGain);
        s.currentCueGain.store(r.cueGain);
        return;
    }

    zeroOutsideWindows(tap, output, mainWindow, phonesWindow);
    WindowResult main{mainGain, 0.0f}, cue{cueGain, 0.0f};
    renderWindows(tap, output, mainWindow, phonesWindow, k, targets.main, targets.cue, main, cue);

    float mainPeak = main.peak;
    if (overlap(mainWindow, phonesWindow)) {
        // The meters read what MAIN finally carries.
        mainPeak = 0.0f;
        forEachWindowPart(output, mainWindow, [&](const IOBuffer& b, int outFirst, int, int count) {
            mainPeak = std::max(mainPeak, kernel::windowPeak(b.samples(), b.byteSize, int(b.channels),
                                                             outFirst, count));
        });
    }
    raisePairedPeaks(s, settings.meterPre, tap, mainPeak);

    s.currentGain.store(main.gain);
    s.currentCueGain.store(cue.gain);
}

// The paired path when the device is wide enough for both windows; false when it is not, and the
// cycle takes the general path.
bool renderPairedBuses(TapRenderState& s, const TapSettings& settings, const IOBuffer* tap,
                       const IOBufferList& output) {
    const long long deviceChannels = pairedDeviceChannels(settings.buses, tap, output);
    if (!deviceChannels) return false;
    renderPaired(s, settings, deviceChannels, targetsFor(settings), *tap, output);
    return true;
}

[[gnu::noinline]] void recordShape(TapRenderState& s, bool isFloat32, const IOBufferList& input,
                                   const IOBufferList& output) {
    IODiagnostic d;
    d.kind = IODiagnostic::Kind::Shape;
    d.outCount = output.count;
    d.inCount = input.count;
    for (std::uint32_t i = 0; i < std::min<std::uint32_t>(output.count, IODiagnostic::kMaxBuffers); ++i)
        d.outShapes[i] = {output[i].channels, output[i].byteSize};
    for (std::uint32_t i = 0; i < std::min<std::uint32_t>(input.count, IODiagnostic::kMaxBuffers); ++i)
        d.inShapes[i] = {input[i].channels, input[i].byteSize};
    d.isFloat32 = isFloat32;
    s.diagnostics.push(d);
}

[[gnu::noinline]] void recordPeaks(TapRenderState& s, float volume, std::uint64_t count, float target,
                                   const IOBufferList& input, const IOBufferList& output) {
    if (const IOBuffer* last = input.last())
        s.diagInPeak.store(std::max(s.diagInPeak.load(), kernel::bufferPeak(*last)));
    if (const IOBuffer* first = input.first())
        s.diagOutPeak.store(std::max(s.diagOutPeak.load(), kernel::bufferPeak(*first)));
    if (count % 500 != 0) return;
    IODiagnostic d;
    d.kind = IODiagnostic::Kind::PeakDiag;
    d.renderCount = count;
    d.inCount = input.count;
    d.outCount = output.count;
    for (std::uint32_t i = 0; i < std::min<std::uint32_t>(input.count, IODiagnostic::kMaxBuffers); ++i)
        d.inPeaks[i] = kernel::bufferPeak(input[i]);
    for (std::uint32_t i = 0; i < std::min<std::uint32_t>(output.count, IODiagnostic::kMaxBuffers); ++i)
        d.outPeaks[i] = kernel::bufferPeak(output[i]);
    d.target = target;
    d.volume = volume;
    d.maxTap = s.diagInPeak.load();
    d.maxIn0 = s.diagOutPeak.load();
    s.diagnostics.push(d);
    if (count >= 2500) s.diagLogged.store(true);
}

// The commonest cycle of all: an unmuted tap without paired buses playing one stereo stream of
// 32-bit float from the stereo tap, the fader at rest and the diagnostics done. It does what the
// general path does there, in one pass and without the checks that cannot apply; false when the
// cycle is not of that kind, having changed nothing.
inline bool renderRestingStereo(TapRenderState& s, const TapSettings& settings, const IOBuffer* tap,
                                const IOBufferList& output) {
    // The diagnostics finish on the general path after its shape line, so both are done.
    if (settings.isMuted || settings.pairedBuses || !settings.isFloat32 || !s.diagLogged.load() || output.count != 1)
        return false;
    const IOBuffer& b = output[0];
    if (!tap || !tap->data || !b.data || b.channels != 2 || tap->channels != 2 || b.byteSize != tap->byteSize ||
        (b.byteSize & 7) != 0)
        return false;
    const float target = mainTargetFor(settings);
    if (s.currentGain.load() != target || !kernel::restsOn(target, settings.rampCoefficient)) return false;
    const float inputPeak = kernel::scaleSamples(tap->samples(), b.samples(), b.sampleCount(), target);
    const float written = kernel::scaledPeak(inputPeak, target);
    kernel::raise(s.peak, settings.meterPre ? inputPeak : written);
    kernel::raise(s.postPeak, written);
    return true;
}

[[gnu::noinline]] void renderGeneral(TapRenderState& s, const TapSettings& settings, std::uint64_t count,
                                     const IOBuffer* tap, const IOBufferList& input, const IOBufferList& output) {
    if (!s.shapeLogged.load()) {
        s.shapeLogged.store(true);
        recordShape(s, settings.isFloat32, input, output);
    }
    const float target = mainTargetFor(settings);
    const float k = settings.rampCoefficient;
    const bool meterPre = settings.meterPre;
    float g = s.currentGain.load();
    for (std::uint32_t i = 0; i < output.count; ++i) {
        const IOBuffer& b = output[i];
        if (!b.data) continue;
        if (!tap || !tap->data) {
            zeroBuffer(b);
            continue;
        }
        // The window is the whole frame, so what was written is the buffer's peak: the rest is 0.
        float written = 0.0f;
        g = kernel::renderWholeBuffer(g, target, k, tap->samples(), int(tap->channels), tap->sampleCount(),
                                      b.samples(), int(b.channels), b.sampleCount(), written);
        if (meterPre) {
            if (i == 0) {
                kernel::accumulatePrePeak(tap->samples(), tap->byteSize, s.peak);
                kernel::raise(s.postPeak, written);
            }
        } else {
            kernel::raise(s.peak, written);
            kernel::raise(s.postPeak, written);
        }
    }
    s.currentGain.store(g);
    if (!s.diagLogged.load()) recordPeaks(s, settings.volume, count, target, input, output);
}

// One channel of interleaved frames: its first sample, the step between frames and how many.
struct ChannelSource {
    const float* samples = nullptr;
    int stride = 1;
    std::size_t frames = 0;
};

// Channel `channel` of a device, its channels numbered across its streams in stream order.
ChannelSource channelOf(const IOBufferList& streams, long long channel) {
    long long base = 0;
    for (const IOBuffer& b : streams) {
        const int width = strideOf(b.channels);
        if (channel < base + width) {
            if (!b.data) return {};
            return {b.samples() + (channel - base), width, kernel::framesIn(b.sampleCount(), width)};
        }
        base += width;
    }
    return {};
}

// Frames go to the lane in chunks of this many, gathered on the stack: no allocation.
constexpr std::size_t kFeedChunk = 256;

void feedStereo(MixSink& lane, CapturePosition position, ChannelSource left, ChannelSource right) {
    if (!left.samples || !right.samples) return;
    const std::size_t frames = std::min(left.frames, right.frames);
    if (left.stride == 2 && right.stride == 2 && right.samples == left.samples + 1) {
        lane.addFramesAt(position, left.samples, int(frames));  // already interleaved stereo
        return;
    }
    float chunk[2 * kFeedChunk];
    for (std::size_t done = 0; done < frames; done += kFeedChunk) {
        const std::size_t n = std::min(kFeedChunk, frames - done);
        for (std::size_t i = 0; i < n; ++i) {
            chunk[2 * i] = left.samples[(done + i) * std::size_t(left.stride)];
            chunk[2 * i + 1] = right.samples[(done + i) * std::size_t(right.stride)];
        }
        lane.addFramesAt(position + qint64(done), chunk, int(n));
    }
}

// Every cycle but the commonest: out of line, so that renderPass itself stays small.
[[gnu::noinline]] void renderCycle(TapRenderState& s, const TapSettings& settings, std::uint64_t count,
                                   const IOBuffer* tap, const IOBufferList& input, const IOBufferList& output) {
    if (settings.isMuted && !settings.pairedBuses) {
        cutMuted(s, settings, tap, output);
        return;
    }
    if (!settings.isFloat32) {
        passThrough(tap && tap->data ? tap : nullptr, output);
        return;
    }
    if (settings.pairedBuses && renderPairedBuses(s, settings, tap, output)) return;
    renderGeneral(s, settings, count, tap, input, output);
}

}  // namespace

void feedMainMix(const TapSettings& s, MixSink& lane, std::uint64_t hostTime, const IOBufferList& input,
                 const IOBufferList& output) {
    // A device that is not 32-bit float carries bytes the mix cannot read.
    if (!s.recordsToMain || !s.isFloat32 || !lane.isArmed()) return;
    const CapturePosition position = lane.framePosition(hostTime);
    const IOBuffer* tap = input.last();
    if (s.recordPre) {
        if (!tap || !tap->data) return;
        const IOBufferList tapOnly{const_cast<IOBuffer*>(tap), 1};
        feedStereo(lane, position, channelOf(tapOnly, 0), channelOf(tapOnly, tap->channels >= 2 ? 1 : 0));
        return;
    }
    // After the fader: what this cycle's render put on the MAIN pair.
    const BusLayout& layout = s.buses;
    if (s.pairedBuses && pairedPathApplies(layout, tap, output)) {
        const long long first = std::max(layout.mainOffset, 0);
        feedStereo(lane, position, channelOf(output, first), channelOf(output, first + (layout.width >= 2 ? 1 : 0)));
        return;
    }
    // The general path writes the same mix to every stream; the first one that carries data.
    for (const IOBuffer& b : output) {
        if (!b.data) continue;
        const IOBufferList one{const_cast<IOBuffer*>(&b), 1};
        feedStereo(lane, position, channelOf(one, 0), channelOf(one, b.channels >= 2 ? 1 : 0));
        return;
    }
}

RenderTargets renderTargets(const TapSettings& settings) { return targetsFor(settings); }

void renderPass(TapRenderState& s, const TapSettings& settings, const IOBufferList& input, const IOBufferList& output) {
    const std::uint64_t count = s.renderCount.load() + 1;
    s.renderCount.store(count);
    const IOBuffer* tap = input.last();
    if (!renderRestingStereo(s, settings, tap, output)) renderCycle(s, settings, count, tap, input, output);
}

}  // namespace quellor
