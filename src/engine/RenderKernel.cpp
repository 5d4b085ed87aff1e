#include "engine/RenderKernel.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <type_traits>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace quellor::kernel {

namespace {

// Frames of gains computed ahead of the copy loop; sized for the stack of a realtime thread.
constexpr std::size_t kChunkFrames = 256;

int strideOf(int channels) { return channels >= 2 ? channels : 1; }

// The gain of one frame when it does not change (the fader at rest, the common case).
struct ConstantGain {
    float value;
    float operator[](std::size_t) const { return value; }
};

// One gain per frame, while the ramp moves.
struct FrameGains {
    const float* values;
    float operator[](std::size_t f) const { return values[f]; }
};

// Steps the ramp over n frames, writing each frame's gain. When a step leaves the gain where it
// was, the ramp has stalled (or arrived): the gain snaps to the target for the rest of the run.
float rampGains(float g, float target, float k, float* gains, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) {
        const float next = (target - g) * k + g;
        if (next == g) {
            std::fill(gains + i, gains + n, target);
            return target;
        }
        g = next;
        gains[i] = g;
    }
    return g;
}

struct Peak {
    float value = 0.0f;
    // Same rule as the scans: only a higher value is kept, so NaN never enters.
    void add(float sample) {
        const float a = std::fabs(sample);
        if (a > value) value = a;
    }
};

#if defined(__SSE2__)
const __m128 kAbsMask = _mm_castsi128_ps(_mm_set1_epi32(0x7fffffff));

// max(a, m) keeps m when a is NaN, exactly like `if (a > m) m = a`.
inline __m128 maxAbs4(__m128 v, __m128 m) { return _mm_max_ps(_mm_and_ps(v, kAbsMask), m); }

inline float horizontalMax(__m128 m, float start) {
    alignas(16) float lanes[4];
    _mm_store_ps(lanes, m);
    for (float lane : lanes) start = lane > start ? lane : start;
    return start;
}
#endif

// out[i] = in[i] * g for n samples; returns the largest |out[i]|.
float scaleContiguous(const float* in, float* out, std::size_t n, float g) {
    std::size_t i = 0;
    Peak peak;
#if defined(__SSE2__)
    const __m128 gv = _mm_set1_ps(g);
    __m128 m0 = _mm_setzero_ps(), m1 = _mm_setzero_ps();
    for (; i + 8 <= n; i += 8) {
        const __m128 a = _mm_mul_ps(_mm_loadu_ps(in + i), gv);
        const __m128 b = _mm_mul_ps(_mm_loadu_ps(in + i + 4), gv);
        _mm_storeu_ps(out + i, a);
        _mm_storeu_ps(out + i + 4, b);
        m0 = maxAbs4(a, m0);
        m1 = maxAbs4(b, m1);
    }
    peak.value = horizontalMax(_mm_max_ps(m0, m1), 0.0f);
#endif
    for (; i < n; ++i) peak.add(out[i] = in[i] * g);
    return peak.value;
}

// A stereo input into a two-channel window of a wider frame, at one gain; returns the peak.
float scalePairs(const float* in, float* out, int outStride, std::size_t frames, float g) {
    std::size_t f = 0;
    Peak peak;
#if defined(__SSE2__)
    const __m128 gv = _mm_set1_ps(g);
    __m128 m = _mm_setzero_ps();
    for (; f + 2 <= frames; f += 2) {
        const __m128 v = _mm_mul_ps(_mm_loadu_ps(in + 2 * f), gv);
        _mm_storel_pi(reinterpret_cast<__m64*>(out + f * outStride), v);
        _mm_storeh_pi(reinterpret_cast<__m64*>(out + (f + 1) * outStride), v);
        m = maxAbs4(v, m);
    }
    peak.value = horizontalMax(m, 0.0f);
#endif
    for (; f < frames; ++f) {
        peak.add(out[f * outStride] = in[2 * f] * g);
        peak.add(out[f * outStride + 1] = in[2 * f + 1] * g);
    }
    return peak.value;
}

// Writes window channels [partFirst, partFirst + partCount) of a window `width` wide for
// `frames` frames and returns the largest absolute value written. The common shapes get loops
// of their own; every branch computes exactly the products and sums of the general rule.
template <class Gain>
float applyWindow(Gain gain, const float* in, int inStride, float* out, int outStride,
                  std::size_t frames, int outFirst, int width, int partFirst, int partCount) {
    Peak peak;
    if (inStride == width) {
        // Channel for channel.
        if constexpr (std::is_same_v<Gain, ConstantGain>) {
            if (partFirst == 0 && partCount == width && outFirst == 0 && outStride == width)
                return scaleContiguous(in, out, frames * std::size_t(width), gain.value);
            if (width == 2 && partCount == 2) return scalePairs(in, out + outFirst, outStride, frames, gain.value);
        }
        if (partCount == 2) {
            for (std::size_t f = 0; f < frames; ++f) {
                const float* ip = in + f * inStride + partFirst;
                float* op = out + f * outStride + outFirst;
                const float g = gain[f];
                peak.add(op[0] = ip[0] * g);
                peak.add(op[1] = ip[1] * g);
            }
            return peak.value;
        }
        for (std::size_t f = 0; f < frames; ++f) {
            const float* ip = in + f * inStride;
            float* op = out + f * outStride + outFirst - partFirst;
            const float g = gain[f];
            for (int c = partFirst; c < partFirst + partCount; ++c) peak.add(op[c] = ip[c] * g);
        }
        return peak.value;
    }
    if (width == 1) {
        // The mean of the input channels.
        const float divisor = static_cast<float>(inStride);
        for (std::size_t f = 0; f < frames; ++f) {
            const float* ip = in + f * inStride;
            float sum = 0.0f;
            for (int c = 0; c < inStride; ++c) sum += ip[c];
            peak.add(out[f * outStride + outFirst] = sum / divisor * gain[f]);
        }
        return peak.value;
    }
    for (std::size_t f = 0; f < frames; ++f) {
        const float* ip = in + f * inStride;
        float* op = out + f * outStride + outFirst - partFirst;
        const float g = gain[f];
        for (int c = partFirst; c < partFirst + partCount; ++c) {
            if (c < inStride) peak.add(op[c] = ip[c] * g);
            else if (inStride > 1) op[c] = 0.0f;  // extra output channels stay silent
            else peak.add(op[c] = ip[0] * g);     // a mono input spreads over the window
        }
    }
    return peak.value;
}

float maxAbs(const float* p, std::size_t n) {
    std::size_t i = 0;
    Peak peak;
#if defined(__SSE2__)
    __m128 m0 = _mm_setzero_ps(), m1 = _mm_setzero_ps();
    for (; i + 8 <= n; i += 8) {
        m0 = maxAbs4(_mm_loadu_ps(p + i), m0);
        m1 = maxAbs4(_mm_loadu_ps(p + i + 4), m1);
    }
    peak.value = horizontalMax(_mm_max_ps(m0, m1), 0.0f);
#endif
    for (; i < n; ++i) peak.add(p[i]);
    return peak.value;
}

}  // namespace

ChannelWindow channelWindow(int offset, int width, int channels) {
    const int deviceChannels = channels >= 2 ? channels : 1;
    const int first = std::min(deviceChannels - 1, std::max(offset, 0));
    const int w = width >= 2 ? width : 1;
    return {first, std::min(deviceChannels - first, w)};
}

float renderGainRamp(float gain, float target, float coefficient,
                     const float* in, int inChannels, std::size_t inSamples,
                     float* out, int outChannels, std::size_t outSamples,
                     int windowFirst, int windowCount) {
    return renderGainRampPart(gain, target, coefficient, in, inChannels, inSamples, out, outChannels,
                              outSamples, windowFirst, windowCount, 0, windowCount, nullptr);
}

float renderGainRampPart(float gain, float target, float coefficient,
                         const float* in, int inChannels, std::size_t inSamples,
                         float* out, int outChannels, std::size_t outSamples,
                         int outFirst, int windowCount, int partFirst, int partCount,
                         float* writtenPeak) {
    const int inStride = strideOf(inChannels);
    const int outStride = strideOf(outChannels);
    const std::size_t frames = std::min(framesIn(inSamples, inStride), framesIn(outSamples, outStride));
    float g = gain;
    float peak = 0.0f;
    float gains[kChunkFrames];
    for (std::size_t done = 0; done < frames;) {
        const float* ip = in + done * inStride;
        float* op = out + done * outStride;
        if (g == target) {
            // At rest every step gives the target again: one gain for the rest of the buffer.
            peak = std::max(peak, applyWindow(ConstantGain{target}, ip, inStride, op, outStride,
                                              frames - done, outFirst, windowCount, partFirst, partCount));
            break;
        }
        const std::size_t n = std::min(kChunkFrames, frames - done);
        g = rampGains(g, target, coefficient, gains, n);
        peak = std::max(peak, applyWindow(FrameGains{gains}, ip, inStride, op, outStride, n, outFirst,
                                          windowCount, partFirst, partCount));
        done += n;
    }
    if (writtenPeak) *writtenPeak = peak;
    return std::fabs(g - target) < 0.000001f ? target : g;
}

void zeroSamples(float* samples, long count) {
    if (count <= 0) return;
    long i = 0;
#if defined(__SSE2__)
    // An inline loop: for IO-sized buffers the library's string-instruction path costs more than
    // the stores themselves.
    const __m128 z = _mm_setzero_ps();
    for (; i + 8 <= count; i += 8) {
        _mm_storeu_ps(samples + i, z);
        _mm_storeu_ps(samples + i + 4, z);
    }
#endif
    for (; i < count; ++i) samples[i] = 0.0f;
}

float bufferPeak(const IOBuffer& buffer) {
    if (!buffer.data) return -1.0f;
    return maxAbs(buffer.samples(), buffer.sampleCount());
}

float windowPeak(const float* samples, std::uint32_t byteSize, int stride, int first, int count) {
    const std::size_t n = byteSize / 4;
    if (stride <= 0) {
        if (n == 0) return 0.0f;
        stride = 1;
    }
    if (static_cast<std::size_t>(stride) > n) return 0.0f;
    const std::size_t frames = framesIn(n, stride);
    if (first == 0 && count == stride) return maxAbs(samples, frames * stride);
    float m = 0.0f;
    for (std::size_t f = 0; f < frames; ++f) {
        const float* p = samples + f * stride + first;
        for (int c = 0; c < count; ++c) {
            const float a = std::fabs(p[c]);
            if (a > m) m = a;
        }
    }
    return m;
}

void accumulatePrePeak(const float* samples, std::uint32_t byteSize, Relaxed<float>& peak) {
    raise(peak, maxAbs(samples, byteSize / 4));
}

void accumulateWindowPeaks(const float* samples, std::uint32_t byteSize, int stride, int first,
                           int count, Relaxed<float>& peak, Relaxed<float>& postPeak) {
    const float m = windowPeak(samples, byteSize, stride, first, count);
    raise(peak, m);
    raise(postPeak, m);
}

void accumulatePostWindowPeak(const float* samples, std::uint32_t byteSize, int stride, int first,
                              int count, Relaxed<float>& postPeak) {
    raise(postPeak, windowPeak(samples, byteSize, stride, first, count));
}

}  // namespace quellor::kernel
