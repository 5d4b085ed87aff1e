#pragma once
// A plain frame-by-frame model of the render pass, written straight from its rules with no
// shortcuts, for bit-for-bit comparison with the production kernel. A device split into several
// streams is modelled as one interleaved device buffer of all its channels, rendered and then cut
// back into the streams.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

#include "engine/PhonesMode.h"
#include "platform/IOBufferList.h"

namespace quellor::reference {

struct Tap {
    float volume = 0;
    bool isMuted = false;
    float cueVolume = 0;
    PhonesMode phonesMode = PhonesMode::MirrorsMain;
    bool pairedBuses = false;
    int mainOffset = 0;
    int phonesOffset = 2;
    int pairWidth = 2;
    float phonesBusGain = 1;
    bool panicked = false;
    float peak = 0;
    float postPeak = 0;
    bool meterPre = false;
    float currentGain = 0;
    float currentCueGain = 0;
    float rampCoefficient = 0;
    bool isFloat32 = true;
    std::uint64_t renderCount = 0;
};

inline int stride(int channels) { return channels >= 2 ? channels : 1; }

inline float clampUnit(float v) {
    if (std::isnan(v)) return 1.0f;
    return v < 0.0f ? 0.0f : (v > 1.0f ? 1.0f : v);
}
inline float cubed(float v) {
    const float c = clampUnit(v);
    return c * c * c;
}

inline void window(int offset, int width, int channels, int& first, int& count) {
    const int ch = channels >= 2 ? channels : 1;
    first = std::min(ch - 1, std::max(offset, 0));
    count = std::min(ch - first, width >= 2 ? width : 1);
}

inline float ramp(float g, float t, float k, const float* in, int inCh, std::size_t inSamples,
                  float* out, int outCh, std::size_t outSamples, int s, int w) {
    const int is = stride(inCh), os = stride(outCh);
    const std::size_t frames = std::min(inSamples / is, outSamples / os);
    for (std::size_t f = 0; f < frames; ++f) {
        const float next = (t - g) * k + g;
        g = next == g ? t : next;
        const std::size_t ib = f * is, ob = f * os + s;
        for (int c = 0; c < w; ++c) {
            float v;
            if (is == w) {
                v = in[ib + c] * g;
            } else if (w == 1) {
                float sum = 0.0f;
                for (int x = 0; x < is; ++x) sum += in[ib + x];
                v = sum / float(is) * g;
            } else if (c < is) {
                v = in[ib + c] * g;
            } else if (is > 1) {
                v = 0.0f;
            } else {
                v = in[ib] * g;
            }
            out[ob + c] = v;
        }
    }
    return std::fabs(g - t) < 0.000001f ? t : g;
}

inline float windowPeak(const float* p, std::uint32_t bytes, int st, int s, int w) {
    const std::size_t n = bytes / 4;
    if (st <= 0) {
        if (n == 0) return 0;
        st = 1;
    }
    if (std::size_t(st) > n) return 0;
    float m = 0;
    for (std::size_t f = 0; f < n / st; ++f)
        for (int c = 0; c < w; ++c) {
            const float a = std::fabs(p[f * st + s + c]);
            if (a > m) m = a;
        }
    return m;
}
inline float allPeak(const float* p, std::uint32_t bytes) {
    float m = 0;
    for (std::size_t i = 0; i < bytes / 4; ++i)
        if (std::fabs(p[i]) > m) m = std::fabs(p[i]);
    return m;
}
inline void raise(float& field, float v) {
    if (v > field) field = v;
}

inline void render(Tap& t, const IOBufferList& in, const IOBufferList& out) {
    t.renderCount += 1;
    const IOBuffer* tap = in.count ? &in[in.count - 1] : nullptr;
    const bool tapData = tap && tap->data;
    if (t.isMuted && !t.pairedBuses) {
        if (t.meterPre && t.isFloat32 && tapData) raise(t.peak, allPeak(tap->samples(), tap->byteSize));
        for (auto& b : out)
            if (b.data) std::fill(b.samples(), b.samples() + b.sampleCount(), 0.0f);
        return;
    }
    if (!t.isFloat32) {
        for (auto& b : out) {
            if (!b.data) continue;
            std::memset(b.data, 0, b.byteSize);
            if (tapData) std::memcpy(b.data, tap->data, std::min(tap->byteSize, b.byteSize));
        }
        return;
    }
    float mainT = t.isMuted ? 0.0f : cubed(t.volume);
    float cueT = t.phonesMode == PhonesMode::CueLevel ? cubed(t.cueVolume) : t.phonesMode == PhonesMode::Silent ? 0.0f : mainT;
    if (t.panicked) mainT = cueT = 0.0f;
    else cueT = cueT * t.phonesBusGain;
    const float k = t.rampCoefficient;

    long long channels = 0;
    bool allData = out.count > 0;
    for (auto& b : out) {
        channels += b.channels;
        allData = allData && b.data;
    }
    if (t.pairedBuses && allData && tapData &&
        channels >= std::max(t.mainOffset, t.phonesOffset) + t.pairWidth) {
        // One device buffer across all streams (streams of equal frame count).
        int deviceCh = 0;
        for (auto& b : out) deviceCh += stride(b.channels);
        const std::size_t frames = out[0].sampleCount() / stride(out[0].channels);
        std::vector<float> device(frames * deviceCh, 0.0f);
        const auto bytes = std::uint32_t(device.size() * 4);
        int mf, mc, pf, pc;
        window(t.mainOffset, t.pairWidth, deviceCh, mf, mc);
        window(t.phonesOffset, t.pairWidth, deviceCh, pf, pc);
        const float g = ramp(t.currentGain, mainT, k, tap->samples(), tap->channels, tap->sampleCount(),
                             device.data(), deviceCh, device.size(), mf, mc);
        const float cg = ramp(t.currentCueGain, cueT, k, tap->samples(), tap->channels,
                              tap->sampleCount(), device.data(), deviceCh, device.size(), pf, pc);
        const float m = windowPeak(device.data(), bytes, deviceCh, mf, mc);
        if (t.meterPre) raise(t.peak, allPeak(tap->samples(), tap->byteSize));
        else raise(t.peak, m);
        raise(t.postPeak, m);
        int base = 0;
        for (auto& b : out) {
            const int st = stride(b.channels);
            std::fill(b.samples(), b.samples() + b.sampleCount(), 0.0f);
            for (std::size_t f = 0; f < frames; ++f)
                for (int c = 0; c < st; ++c) b.samples()[f * st + c] = device[f * deviceCh + base + c];
            base += st;
        }
        t.currentGain = g;
        t.currentCueGain = cg;
        return;
    }
    float g = t.currentGain;
    for (std::uint32_t i = 0; i < out.count; ++i) {
        IOBuffer& b = out[i];
        if (!b.data) continue;
        if (!tapData) {
            std::fill(b.samples(), b.samples() + b.sampleCount(), 0.0f);
            continue;
        }
        const int ch = std::max(int(b.channels), 1);
        g = ramp(g, mainT, k, tap->samples(), tap->channels, tap->sampleCount(), b.samples(), b.channels,
                 b.sampleCount(), 0, ch);
        const std::size_t frames =
            std::min(tap->sampleCount() / stride(tap->channels), b.sampleCount() / stride(b.channels));
        std::fill(b.samples() + frames * ch, b.samples() + b.sampleCount(), 0.0f);
        if (t.meterPre) {
            if (i == 0) {
                raise(t.peak, allPeak(tap->samples(), tap->byteSize));
                raise(t.postPeak, windowPeak(b.samples(), b.byteSize, b.channels, 0, ch));
            }
        } else {
            const float m = windowPeak(b.samples(), b.byteSize, b.channels, 0, ch);
            raise(t.peak, m);
            raise(t.postPeak, m);
        }
    }
    t.currentGain = g;
}

}  // namespace quellor::reference
