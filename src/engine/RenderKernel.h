#pragma once
// The sample-level routines of the realtime render pass: the gain ramp that copies tapped audio
// into a window of output channels while it moves the gain towards its target, the clamp that
// fits a channel window to a device, zero fill, and the peak scans that feed the meters.
//
// They work on interleaved 32-bit float arrays and on relaxed peak fields; they allocate nothing,
// lock nothing and call nothing else, so any thread (the realtime IO thread above all) may use
// them. Results are bit-exact with a plain frame-by-frame evaluation of the same arithmetic: the
// faster loops only reorder work that has no rounding (products, copies, maxima).

#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "engine/Relaxed.h"
#include "platform/IOBufferList.h"

namespace quellor::kernel {

// The common shapes have 128-bit (baseline), 256-bit and 512-bit loops; the widest that runs at
// full clock speed on this processor is used by default. Results are the same bits at every width: tests limit the width to run
// each width's loops on a machine that has them all.
int widestVectorBits();          // of this processor: 128, 256 or 512
void limitVectorBits(int bits);  // use no wider loops than this from now on (512: no limit)

// A run of output channels inside one frame.
struct ChannelWindow {
    int first = 0;
    int count = 1;
    bool operator==(const ChannelWindow&) const = default;
};

// Clamps a channel offset and width to a device of `channels` channels: the window never leaves
// the device and is at least one channel wide.
// Inline: the pass computes two windows on every call.
inline ChannelWindow channelWindow(int offset, int width, int channels) {
    const int deviceChannels = channels >= 2 ? channels : 1;
    const int first = std::min(deviceChannels - 1, std::max(offset, 0));
    const int w = width >= 2 ? width : 1;
    return {first, std::min(deviceChannels - first, w)};
}

// Renders `in` into the window of `out`, one gain step per frame: g = (target - g) * k + g.
// Returns the gain to start from next time (snapped to the target within 1e-6). A step that no
// longer changes the gain snaps it to the target at once: single precision stalls short of the
// target otherwise. Writes only window samples of the frames both buffers hold.
float renderGainRamp(float gain, float target, float coefficient,
                     const float* in, int inChannels, std::size_t inSamples,
                     float* out, int outChannels, std::size_t outSamples,
                     int windowFirst, int windowCount);

// The same ramp for part of a window: window channels [partFirst, partFirst + partCount) of a
// window `windowCount` wide are written starting at output channel `outFirst`. Used when a
// device's channels are spread over several streams and a window straddles them. When
// `writtenPeak` is given it receives the largest absolute value written (0 when nothing was),
// which is the window's peak without a second pass over the output.
float renderGainRampPart(float gain, float target, float coefficient,
                         const float* in, int inChannels, std::size_t inSamples,
                         float* out, int outChannels, std::size_t outSamples,
                         int outFirst, int windowCount, int partFirst, int partCount,
                         float* writtenPeak = nullptr);

// One output buffer of the general path: `in` into every channel of `out` (the window is the whole
// frame), as renderGainRamp does, then 0 in every sample after the rendered frames. Returns the
// gain to start from next time; `writtenPeak` receives the largest absolute value written.
float renderWholeBuffer(float gain, float target, float coefficient,
                        const float* in, int inChannels, std::size_t inSamples,
                        float* out, int outChannels, std::size_t outSamples, float& writtenPeak);

// Two ramps stepped side by side, each exactly as renderGainRamp steps its gain; frame f's gains go
// to gains[2f] (the first ramp) and gains[2f + 1] (the second). `first` and `second` hold the gains
// to step from and, on return, the gains after the last frame (not snapped).
void rampGainPair(float& first, float firstTarget, float& second, float secondTarget, float coefficient,
                  float* gains, std::size_t frames);

// Window channels [partFirst, partFirst + partCount) of `frames` frames, written as
// renderGainRampPart writes them, frame f at the gain gains[2f] (the layout rampGainPair fills;
// pass gains + 1 for its second ramp). Returns the largest absolute value written.
float applyPairedGains(const float* gains, const float* in, int inChannels, float* out, int outChannels,
                       std::size_t frames, int outFirst, int windowCount, int partFirst, int partCount);

// The gain a ramp hands on to the next call: its target once within 1e-6 of it.
inline float snappedGain(float g, float target) {
    const float d = g - target;
    return (d < 0.0f ? -d : d) < 0.000001f ? target : g;
}

// MAIN and PHONES of a paired device that is one stream: a stereo input into two windows of two
// channels each, every other channel of the buffer silent, in one pass over the output. Each
// window ramps its own gain exactly as renderGainRamp does, and the two ramps step side by side.
// The whole output buffer is written: channels outside the windows, and frames the input does not
// have, are set to 0. The windows must lie inside the frame and must not share a channel.
struct StereoPairs {
    float mainGain;  // the gains to start from next time, as renderGainRamp returns them
    float cueGain;
    float mainPeak;  // the largest absolute value written into the MAIN window
};
StereoPairs renderStereoPairs(float mainGain, float mainTarget, float cueGain, float cueTarget,
                              float coefficient, const float* in, std::size_t inSamples, float* out,
                              int outChannels, std::size_t outSamples, int mainFirst, int phonesFirst);

// out[i] = in[i] * g for n samples in one pass; returns the largest |in[i]| (0 when none is
// above 0; a NaN never counts). The largest |out[i]| is then scaledPeak of it: rounding never
// reorders products by one factor, so the largest input gives the largest output.
float scaleSamples(const float* in, float* out, std::size_t n, float g);

// The largest |x * g| over samples x whose largest |x| is `inputPeak`: the same value a scan of
// the products finds, for any g (0 where every product is 0 or not a number).
inline float scaledPeak(float inputPeak, float g) {
    const float p = inputPeak * (g < 0.0f ? -g : g);
    return p > 0.0f ? p : 0.0f;
}

// Whether a ramp that holds `target` stays there: every step from the target gives the target
// again (true for any finite target and coefficient).
inline bool restsOn(float target, float k) { return (target - target) * k + target == target; }

// renderStereoPairs when both gains sit at targets they rest on (restsOn): the same output, and
// the MAIN window's peak. The gains stay where they are.
float restStereoPairs(float mainTarget, float cueTarget, float coefficient, const float* in, std::size_t inSamples,
                      float* out, int outChannels, std::size_t outSamples, int mainFirst, int phonesFirst);

// Sets `count` samples to 0 (nothing when count is 0 or below).
void zeroSamples(float* samples, long count);

// The largest absolute sample of the buffer; -1 when it has no data.
float bufferPeak(const IOBuffer& buffer);

// The largest absolute value of samples[f * stride + first + c] over every whole frame f and
// c in [0, count); 0 when the stride exceeds the sample count.
float windowPeak(const float* samples, std::uint32_t byteSize, int stride, int first, int count);

// Raise `peak` (and `postPeak`) to the scanned maximum when it is higher.
void accumulatePrePeak(const float* samples, std::uint32_t byteSize, Relaxed<float>& peak);
void accumulateWindowPeaks(const float* samples, std::uint32_t byteSize, int stride, int first,
                           int count, Relaxed<float>& peak, Relaxed<float>& postPeak);
void accumulatePostWindowPeak(const float* samples, std::uint32_t byteSize, int stride, int first,
                              int count, Relaxed<float>& postPeak);

// Whole frames in `samples` interleaved samples of `stride` channels (stride at least 1). Sample
// counts come from 32-bit byte sizes, so 32-bit division is exact, and stereo needs none.
inline std::size_t framesIn(std::size_t samples, int stride) {
    if (stride == 2) return samples >> 1;
    return std::uint32_t(samples) / std::uint32_t(stride);
}

// Stores `value` in `field` when it is higher than the value held. One atomic step against every
// other writer: a higher value stored by another thread, or the reset of a meter that takes the
// peak, between the read and the write is never overwritten by a lower one. A NaN never enters.
inline void raise(Relaxed<float>& field, float value) {
    float held = field.load();
    while (value > held && !field.compareExchangeWeak(held, value)) {
    }
}

}  // namespace quellor::kernel
