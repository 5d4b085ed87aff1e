#include "engine/RenderKernel.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <type_traits>
#include <atomic>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#if defined(__SSE2__) && (defined(__x86_64__) || defined(__i386__)) && defined(__GNUC__)
// 256- and 512-bit loops for the common shapes, compiled for AVX2 and AVX-512 beside the baseline
// build and chosen at run time. They use no fused multiply-add: every product and sum rounds as in
// the baseline loops.
#define QUELLOR_WIDE_VECTORS 1
#include <immintrin.h>
#define QUELLOR_WIDE __attribute__((target("avx2")))
#define QUELLOR_WIDEST __attribute__((target("avx512f")))
#endif

namespace quellor::kernel {

namespace {

#if defined(QUELLOR_WIDE_VECTORS)
int cpuVectorBits() {
    __builtin_cpu_init();  // this may run before the library's other constructors
    // 512-bit loops only where they cost no clock speed: the first processors with AVX-512 slow the
    // whole core down for a while after a few 512-bit instructions, every other program with it.
    // The later extensions (VBMI2: Ice Lake and Zen 4 onwards) mark the processors that do not.
    if (__builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512vbmi2")) return 512;
    return __builtin_cpu_supports("avx2") ? 256 : 128;
}
// Asked once, on first use, so that it holds whenever it is asked.
int widestVectorBitsOfCpu() {
    static const int bits = cpuVectorBits();
    return bits;
}
// The width in use: the baseline until the program has started (constant-initialised, so a call
// made from another file's initialiser still works), then the processor's, or less while a test
// limits it.
constinit std::atomic<int> vectorBits{128};
inline bool wide() { return vectorBits.load(std::memory_order_relaxed) >= 256; }
inline bool widest() { return vectorBits.load(std::memory_order_relaxed) >= 512; }
#else
int widestVectorBitsOfCpu() { return 128; }
#endif

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

// One of two ramps' gains, stored frame by frame side by side (rampGainPair).
struct PairedGains {
    const float* values;
    float operator[](std::size_t f) const { return values[2 * f]; }
};

// True when a ramp at `g` gives `target` on every frame from now on: the gain equals the target,
// so the first step snaps it there, and a step from the target gives the target again (so it is
// for any finite coefficient). A whole buffer then takes one gain.
bool restsAt(float g, float target, float k) { return g == target && restsOn(target, k); }

// One frame's step of the ramp; a step that leaves the gain where it was snaps it to the target.
inline float stepGain(float g, float target, float k) {
    const float next = (target - g) * k + g;
    return next == g ? target : next;
}

// Steps the ramp over n frames, writing each frame's gain. When a step leaves the gain where it
// was, the ramp has stalled (or arrived): the gain snaps to the target, and once the target is a
// resting point the rest of the run takes it without further steps.
float rampGains(float g, float target, float k, float* gains, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) {
        const float next = (target - g) * k + g;
        if (next == g) {
            g = target;
            if (restsAt(g, target, k)) {
                std::fill(gains + i, gains + n, target);
                return target;
            }
        } else {
            g = next;
        }
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
// Clears the sign bit. A constant built in place: a global one would be set only when the program
// starts, and read as all zeros before.
inline __m128 absMask() { return _mm_castsi128_ps(_mm_set1_epi32(0x7fffffff)); }

// max(a, m) keeps m when a is NaN, exactly like `if (a > m) m = a`.
inline __m128 maxAbs4(__m128 v, __m128 m) { return _mm_max_ps(_mm_and_ps(v, absMask()), m); }

// The largest lane of m, or start when that is higher. The lanes come from maxAbs4, so none is NaN
// and the order of the comparisons does not matter. Shuffles, not a round trip through memory: a
// reload right after the stores of a render loop can be held up by them.
inline float horizontalMax(__m128 m, float start) {
    m = _mm_max_ps(m, _mm_movehl_ps(m, m));
    m = _mm_max_ss(m, _mm_shuffle_ps(m, m, 1));
    const float lane = _mm_cvtss_f32(m);
    return lane > start ? lane : start;
}

// scaledPeak lane by lane, for samples whose largest |x| is m.
inline __m128 scaledPeaks(float m, __m128 t) {
    // max returns its second operand when the first is not a number.
    return _mm_max_ps(_mm_mul_ps(_mm_set1_ps(m), _mm_and_ps(t, absMask())), _mm_setzero_ps());
}

// The ramp step on four lanes at once, lane for lane the arithmetic of the scalar step: a lane
// whose step leaves it where it was takes its target.
inline __m128 stepLanes(__m128 g, __m128 t, __m128 k) {
    __m128 next = _mm_add_ps(_mm_mul_ps(_mm_sub_ps(t, g), k), g);
    const __m128 stalled = _mm_cmpeq_ps(next, g);
    // A stalled lane that already holds its target's bits gains nothing from the select; testing
    // for the rare others keeps the select off the chain from one frame to the next.
    const __m128 onTarget = _mm_castsi128_ps(_mm_cmpeq_epi32(_mm_castps_si128(next), _mm_castps_si128(t)));
    if (_mm_movemask_ps(_mm_andnot_ps(onTarget, stalled)))
        next = _mm_or_ps(_mm_and_ps(stalled, t), _mm_andnot_ps(stalled, next));
    return next;
}

// renderStereoPairs runs two loops: one that steps both gains frame by frame until the ramps
// rest, and one that writes the frames after that at the targets. Each is written once below;
// what differs between output shapes and vector widths is how frames are loaded and stored, and a
// small struct of operations says that (Pairs: two windows in a frame of any width, 128 bits at a
// time; Frames8Wide and Frames8Widest: frames of exactly eight channels, 256 and 512 bits):
//
//   while the gains move, one frame at a time:
//     frame(f, v)              stores output frame f from four pair values: the left window's two
//                              in lanes 0-1, the right window's in lanes 2-3;
//     rest(in, f, frames)      writes frames f... at the targets; returns their largest |input|;
//   at rest, kFrames frames per input load:
//     atTargets(f, in, peak)   writes frames f... at the targets and raises `peak` (a Peak: the
//                              largest |input| so far, lane by lane);
//     tail(in, f, frames, peak) writes the last frames (fewer than kFrames); returns the largest
//                              |input| of `peak` and theirs.
//
// The loops have no target of their own: they are always inlined into the function of each width,
// which carries that width's target attribute. The structs' members carry it too, so that GCC may
// inline them there (it inlines only into a function built for at least the same instructions).
// They must not be always_inline themselves, or GCC tries, and fails, to inline them into the
// loop templates' own bodies; and no vector wider than 128 bits passes between the loops and the
// members by value, which those bodies would pass under another ABI.

// The frames from `f` on at the targets, Out::kFrames frames per input load. Returns the largest
// |input| of those frames; the windows' peaks follow from it (scaledPeak).
template <class Out>
[[gnu::always_inline]] inline float restFrames(const Out& out, const float* in, std::size_t f, std::size_t frames) {
    typename Out::Peak peak;
    for (; f + Out::kFrames <= frames; f += Out::kFrames) out.atTargets(f, in, peak);
    return out.tail(in, f, frames, peak);
}

// The frames of renderStereoPairs. `gains` and `t` hold the left window's gain and target in lanes
// 0-1 and the right window's in lanes 2-3; `gains` returns the gains after the last frame. Returns
// the windows' peaks: the larger of lanes 0-1 is the largest absolute value written into the left
// window, that of lanes 2-3 into the right one.
template <class Out>
[[gnu::always_inline]] inline __m128 rampPairs(__m128& gains, __m128 t, float k, bool targetsRest, const float* in,
                                               std::size_t frames, const Out& out) {
    // A local copy: `gains` could alias the output as far as the compiler knows, which would put
    // a store and a reload on the chain from one frame to the next.
    __m128 g = gains;
    const __m128 kv = _mm_set1_ps(k);
    __m128 peak = _mm_setzero_ps();
    std::size_t f = 0;
    // While a gain moves, one step per frame; every 16 frames the ramps are checked for rest.
    while (f < frames && !(targetsRest && _mm_movemask_ps(_mm_cmpeq_ps(g, t)) == 0xf)) {
        const std::size_t end = std::min(frames, f + 16);
        for (; f < end; ++f) {
            g = stepLanes(g, t, kv);
            const __m128 x = _mm_castpd_ps(_mm_load_sd(reinterpret_cast<const double*>(in + 2 * f)));
            const __m128 v = _mm_mul_ps(_mm_movelh_ps(x, x), g);
            out.frame(f, v);
            peak = maxAbs4(v, peak);
        }
    }
    gains = g;
    if (f == frames) return peak;
    // At rest for the remaining frames.
    gains = t;
    return _mm_max_ps(peak, scaledPeaks(out.rest(in, f, frames), t));
}

// Two stereo windows in frames of any width, into an output already silent outside them.
// Adjacent: the right window starts where the left one ends, and one store writes both. At rest,
// two frames per input load.
template <bool Adjacent>
struct Pairs {
    static constexpr std::size_t kFrames = 2;
    struct Peak {
        __m128 m = _mm_setzero_ps();
    };
    float* out;
    int stride;
    int left;
    int right;
    __m128 t;

    void frame(std::size_t f, __m128 v) const {
        float* p = out + f * stride;
        if constexpr (Adjacent) {
            _mm_storeu_ps(p + left, v);
        } else {
            _mm_storel_pi(reinterpret_cast<__m64*>(p + left), v);
            _mm_storeh_pi(reinterpret_cast<__m64*>(p + right), v);
        }
    }
    float rest(const float* in, std::size_t f, std::size_t frames) const { return restFrames(*this, in, f, frames); }

    void atTargets(std::size_t f, const float* in, Peak& peak) const {
        const __m128 x = _mm_loadu_ps(in + 2 * f);
        frame(f, _mm_mul_ps(_mm_movelh_ps(x, x), t));
        frame(f + 1, _mm_mul_ps(_mm_movehl_ps(x, x), t));
        peak.m = maxAbs4(x, peak.m);
    }
    float tail(const float* in, std::size_t f, std::size_t frames, const Peak& peak) const {
        __m128 m = peak.m;
        if (f < frames) {
            const __m128 x = _mm_castpd_ps(_mm_load_sd(reinterpret_cast<const double*>(in + 2 * f)));
            frame(f, _mm_mul_ps(_mm_movelh_ps(x, x), t));
            m = maxAbs4(x, m);
        }
        return horizontalMax(m, 0.0f);
    }
};

#if defined(QUELLOR_WIDE_VECTORS)
QUELLOR_WIDE inline __m256 maxAbs8(__m256 v, __m256 m) {
    return _mm256_max_ps(_mm256_and_ps(v, _mm256_castsi256_ps(_mm256_set1_epi32(0x7fffffff))), m);
}

// The lanes of m folded to four by maxima.
QUELLOR_WIDE inline __m128 fold8(__m256 m) {
    return _mm_max_ps(_mm256_castps256_ps128(m), _mm256_extractf128_ps(m, 1));
}

// scaleSamples 16 samples a step.
QUELLOR_WIDE float scaleSamplesWide(const float* in, float* out, std::size_t n, float g) {
    const __m256 gv = _mm256_set1_ps(g);
    __m256 m0 = _mm256_setzero_ps(), m1 = _mm256_setzero_ps();
    std::size_t i = 0;
    for (; i + 16 <= n; i += 16) {
        const __m256 a = _mm256_loadu_ps(in + i);
        const __m256 b = _mm256_loadu_ps(in + i + 8);
        _mm256_storeu_ps(out + i, _mm256_mul_ps(a, gv));
        _mm256_storeu_ps(out + i + 8, _mm256_mul_ps(b, gv));
        m0 = maxAbs8(a, m0);
        m1 = maxAbs8(b, m1);
    }
    if (i + 8 <= n) {
        const __m256 a = _mm256_loadu_ps(in + i);
        _mm256_storeu_ps(out + i, _mm256_mul_ps(a, gv));
        m0 = maxAbs8(a, m0);
        i += 8;
    }
    Peak peak{horizontalMax(fold8(_mm256_max_ps(m0, m1)), 0.0f)};
    for (; i < n; ++i) {
        peak.add(in[i]);
        out[i] = in[i] * g;
    }
    return peak.value;
}

// One output frame of eight channels with two stereo windows: for lane c, the channel of its input
// frame (`side`), the lane of a four-lane pair vector it takes (`spread`: window a's two lanes, then
// window b's), its window's target (`targets`, 0 outside the windows) and all ones on window
// channels (`keep`).
struct Frame8 {
    __m256i side;
    __m256i spread;
    __m256 targets;
    __m256 keep;
};

QUELLOR_WIDE inline Frame8 frame8(int aFirst, float ta, int bFirst, float tb) {
    const __m256i lanes = _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7);
    const __m256i zero = _mm256_setzero_si256(), one = _mm256_set1_epi32(1);
    const __m256i fromA = _mm256_sub_epi32(lanes, _mm256_set1_epi32(aFirst));
    const __m256i fromB = _mm256_sub_epi32(lanes, _mm256_set1_epi32(bFirst));
    const __m256i inA = _mm256_or_si256(_mm256_cmpeq_epi32(fromA, zero), _mm256_cmpeq_epi32(fromA, one));
    const __m256i inB = _mm256_or_si256(_mm256_cmpeq_epi32(fromB, zero), _mm256_cmpeq_epi32(fromB, one));
    Frame8 f;
    f.side = _mm256_or_si256(_mm256_and_si256(inA, fromA), _mm256_and_si256(inB, fromB));
    f.spread = _mm256_add_epi32(f.side, _mm256_and_si256(inB, _mm256_set1_epi32(2)));
    f.targets = _mm256_or_ps(_mm256_and_ps(_mm256_castsi256_ps(inA), _mm256_set1_ps(ta)),
                             _mm256_and_ps(_mm256_castsi256_ps(inB), _mm256_set1_ps(tb)));
    f.keep = _mm256_castsi256_ps(_mm256_or_si256(inA, inB));
    return f;
}

// Frames of exactly eight channels with two stereo windows, window `a` (two channels from aFirst)
// at target ta and window `b` at tb, 256 bits at a time. Every channel is written: each output
// frame is built whole in one register (the windows' samples, 0 elsewhere) and stored once, so the
// silent channels need no pass of their own. At rest, four frames per input load.
struct Frames8Wide {
    static constexpr std::size_t kFrames = 4;
    struct Peak {
        QUELLOR_WIDE Peak() : m(_mm256_setzero_ps()) {}
        __m256 m;
    };
    float* out;
    int aFirst, bFirst;
    float ta, tb;
    Frame8 fr;
    // For input frame i of a load: fr.side moved on to the lanes of that frame.
    __m256i sides[4];

    QUELLOR_WIDE Frames8Wide(float* o, int a, float targetA, int b, float targetB)
        : out(o), aFirst(a), bFirst(b), ta(targetA), tb(targetB), fr(frame8(a, targetA, b, targetB)) {
        const __m256i two = _mm256_set1_epi32(2);
        sides[0] = fr.side;
        sides[1] = _mm256_add_epi32(sides[0], two);
        sides[2] = _mm256_add_epi32(sides[1], two);
        sides[3] = _mm256_add_epi32(sides[2], two);
    }

    QUELLOR_WIDE void frame(std::size_t f, __m128 v) const {
        _mm256_storeu_ps(out + 8 * f, _mm256_and_ps(_mm256_permutevar8x32_ps(_mm256_castps128_ps256(v), fr.spread), fr.keep));
    }
    float rest(const float* in, std::size_t f, std::size_t frames) const;  // at the widest loops in use

    // An output frame at the targets from the input frame that `side` picks out of x.
    QUELLOR_WIDE __m256 atTarget(__m256 x, __m256i side) const {
        return _mm256_and_ps(_mm256_mul_ps(_mm256_permutevar8x32_ps(x, side), fr.targets), fr.keep);
    }
    QUELLOR_WIDE void atTargets(std::size_t f, const float* in, Peak& peak) const {
        const __m256 x = _mm256_loadu_ps(in + 2 * f);
        float* o = out + 8 * f;
        _mm256_storeu_ps(o, atTarget(x, sides[0]));
        _mm256_storeu_ps(o + 8, atTarget(x, sides[1]));
        _mm256_storeu_ps(o + 16, atTarget(x, sides[2]));
        _mm256_storeu_ps(o + 24, atTarget(x, sides[3]));
        peak.m = maxAbs8(x, peak.m);
    }
    QUELLOR_WIDE float tail(const float* in, std::size_t f, std::size_t frames, const Peak& peak) const {
        __m256 m = peak.m;
        for (; f < frames; ++f) {
            // The frame's two samples in every pair of lanes.
            const __m256 x = _mm256_castpd_ps(_mm256_broadcast_sd(reinterpret_cast<const double*>(in + 2 * f)));
            _mm256_storeu_ps(out + 8 * f, atTarget(x, sides[0]));
            m = maxAbs8(x, m);
        }
        return horizontalMax(fold8(m), 0.0f);
    }
};

// The frames of a paired eight-channel stream at rest: a stereo input into window `a` at target ta
// and window `b` at tb, every other channel 0. Returns the largest |input| of the frames rendered;
// the windows' peaks follow from it (scaledPeak).
QUELLOR_WIDE float restPairs8Wide(const float* in, float* out, std::size_t frames, int aFirst, float ta, int bFirst,
                                  float tb) {
    return restFrames(Frames8Wide(out, aFirst, ta, bFirst, tb), in, 0, frames);
}

// GCC 12's 512-bit intrinsics merge their results into a deliberately undefined register, which
// -Wuninitialized reports wherever they are inlined.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wuninitialized"
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"

QUELLOR_WIDEST inline __m256 fold16(__m512 m) {
    return _mm256_max_ps(_mm512_castps512_ps256(m), _mm256_castpd_ps(_mm512_extractf64x4_pd(_mm512_castps_pd(m), 1)));
}

// scaleSamples 64 samples a step; the last partial steps under masks.
QUELLOR_WIDEST float scaleSamplesWidest(const float* in, float* out, std::size_t n, float g) {
    const __m512 gv = _mm512_set1_ps(g);
    __m512 m0 = _mm512_setzero_ps(), m1 = _mm512_setzero_ps();
    std::size_t i = 0;
    for (; i + 64 <= n; i += 64) {
        const __m512 a = _mm512_loadu_ps(in + i);
        const __m512 b = _mm512_loadu_ps(in + i + 16);
        const __m512 c = _mm512_loadu_ps(in + i + 32);
        const __m512 d = _mm512_loadu_ps(in + i + 48);
        _mm512_storeu_ps(out + i, _mm512_mul_ps(a, gv));
        _mm512_storeu_ps(out + i + 16, _mm512_mul_ps(b, gv));
        _mm512_storeu_ps(out + i + 32, _mm512_mul_ps(c, gv));
        _mm512_storeu_ps(out + i + 48, _mm512_mul_ps(d, gv));
        m0 = _mm512_max_ps(_mm512_abs_ps(a), m0);
        m1 = _mm512_max_ps(_mm512_abs_ps(b), m1);
        m0 = _mm512_max_ps(_mm512_abs_ps(c), m0);
        m1 = _mm512_max_ps(_mm512_abs_ps(d), m1);
    }
    for (; i < n; i += 16) {
        const __mmask16 lanes = n - i >= 16 ? __mmask16(0xffff) : __mmask16((1u << (n - i)) - 1);
        const __m512 a = _mm512_maskz_loadu_ps(lanes, in + i);  // 0 in the lanes past the end
        _mm512_mask_storeu_ps(out + i, lanes, _mm512_mul_ps(a, gv));
        m0 = _mm512_max_ps(_mm512_abs_ps(a), m0);
    }
    return horizontalMax(fold8(fold16(_mm512_max_ps(m0, m1))), 0.0f);
}

// Frames8Wide's resting loop in 512-bit registers of two output frames each, eight frames per input
// load; the last frames of a call, fewer than eight, go to Frames8Wide's loop.
struct Frames8Widest {
    static constexpr std::size_t kFrames = 8;
    struct Peak {
        QUELLOR_WIDEST Peak() : m(_mm512_setzero_ps()) {}
        __m512 m;
    };
    Frames8Wide narrower;
    __m512 t;           // the targets of two frames
    __mmask16 window;   // the window channels of two frames
    // For output frames 2i and 2i + 1 of a load: the input lane of each channel.
    __m512i sides[4];

    QUELLOR_WIDEST Frames8Widest(float* out, int a, float ta, int b, float tb) : narrower(out, a, ta, b, tb) {
        const Frame8& fr = narrower.fr;
        t = _mm512_castpd_ps(
            _mm512_insertf64x4(_mm512_castpd256_pd512(_mm256_castps_pd(fr.targets)), _mm256_castps_pd(fr.targets), 1));
        const unsigned keepBits = unsigned(_mm256_movemask_ps(fr.keep));
        window = __mmask16(keepBits | keepBits << 8);
        const __m512i side2 = _mm512_inserti64x4(_mm512_castsi256_si512(fr.side), fr.side, 1);
        sides[0] = _mm512_add_epi32(side2, _mm512_setr_epi32(0, 0, 0, 0, 0, 0, 0, 0, 2, 2, 2, 2, 2, 2, 2, 2));
        sides[1] = _mm512_add_epi32(sides[0], _mm512_set1_epi32(4));
        sides[2] = _mm512_add_epi32(sides[1], _mm512_set1_epi32(4));
        sides[3] = _mm512_add_epi32(sides[2], _mm512_set1_epi32(4));
    }

    QUELLOR_WIDEST void atTargets(std::size_t f, const float* in, Peak& peak) const {
        const __m512 x = _mm512_loadu_ps(in + 2 * f);
        float* o = narrower.out + 8 * f;
        _mm512_storeu_ps(o, _mm512_maskz_mul_ps(window, _mm512_permutexvar_ps(sides[0], x), t));
        _mm512_storeu_ps(o + 16, _mm512_maskz_mul_ps(window, _mm512_permutexvar_ps(sides[1], x), t));
        _mm512_storeu_ps(o + 32, _mm512_maskz_mul_ps(window, _mm512_permutexvar_ps(sides[2], x), t));
        _mm512_storeu_ps(o + 48, _mm512_maskz_mul_ps(window, _mm512_permutexvar_ps(sides[3], x), t));
        peak.m = _mm512_max_ps(_mm512_abs_ps(x), peak.m);
    }
    QUELLOR_WIDEST float tail(const float* in, std::size_t f, std::size_t frames, const Peak& peak) const {
        return horizontalMax(fold8(fold16(peak.m)), restFrames(narrower, in, f, frames));
    }
};

// restPairs8Wide with the 512-bit loop.
QUELLOR_WIDEST float restPairs8Widest(const float* in, float* out, std::size_t frames, int aFirst, float ta,
                                      int bFirst, float tb) {
    return restFrames(Frames8Widest(out, aFirst, ta, bFirst, tb), in, 0, frames);
}
#pragma GCC diagnostic pop

float restPairs8(const float* in, float* out, std::size_t frames, int aFirst, float ta, int bFirst, float tb) {
    return widest() ? restPairs8Widest(in, out, frames, aFirst, ta, bFirst, tb)
                    : restPairs8Wide(in, out, frames, aFirst, ta, bFirst, tb);
}

float Frames8Wide::rest(const float* in, std::size_t f, std::size_t frames) const {
    return restPairs8(in + 2 * f, out + 8 * f, frames - f, aFirst, ta, bFirst, tb);
}

// The frames of renderStereoPairs for a stream of exactly eight channels (rampPairs).
QUELLOR_WIDE __m128 pairFrames8(__m128& gains, __m128 t, float k, bool targetsRest, const float* in, float* out,
                                std::size_t frames, int left, int right) {
    alignas(16) float targets[4];
    _mm_store_ps(targets, t);
    return rampPairs(gains, t, k, targetsRest, in, frames, Frames8Wide(out, left, targets[0], right, targets[2]));
}
#endif

// The frames of renderStereoPairs into an output already silent outside the windows (rampPairs).
template <bool Adjacent>
__m128 pairFrames(__m128& g, __m128 t, float k, bool targetsRest, const float* in, float* out,
                  int stride, std::size_t frames, int left, int right) {
    return rampPairs(g, t, k, targetsRest, in, frames, Pairs<Adjacent>{out, stride, left, right, t});
}
#endif

// The largest |out[i]| of a scaleSamples pass.
float scaleContiguous(const float* in, float* out, std::size_t n, float g) {
    return scaledPeak(scaleSamples(in, out, n, g), g);
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

// scaleSamples 8 samples a step.
float scaleSamplesBaseline(const float* in, float* out, std::size_t n, float g) {
    std::size_t i = 0;
    Peak peak;
#if defined(__SSE2__)
    const __m128 gv = _mm_set1_ps(g);
    __m128 m0 = _mm_setzero_ps(), m1 = _mm_setzero_ps();
    for (; i + 8 <= n; i += 8) {
        const __m128 a = _mm_loadu_ps(in + i);
        const __m128 b = _mm_loadu_ps(in + i + 4);
        _mm_storeu_ps(out + i, _mm_mul_ps(a, gv));
        _mm_storeu_ps(out + i + 4, _mm_mul_ps(b, gv));
        m0 = maxAbs4(a, m0);
        m1 = maxAbs4(b, m1);
    }
    peak.value = horizontalMax(_mm_max_ps(m0, m1), 0.0f);
#endif
    for (; i < n; ++i) {
        peak.add(in[i]);
        out[i] = in[i] * g;
    }
    return peak.value;
}

// scaleSamples of a vector width, chosen once per width: the common cycle takes no other decision.
using ScaleSamples = float (*)(const float*, float*, std::size_t, float);
ScaleSamples scaleSamplesFor(int bits) {
#if defined(QUELLOR_WIDE_VECTORS)
    if (bits >= 512) return scaleSamplesWidest;
    if (bits >= 256) return scaleSamplesWide;
#endif
    (void)bits;
    return scaleSamplesBaseline;
}
// The baseline until the program has started (constant-initialised), then as vectorBits.
constinit std::atomic<ScaleSamples> scaleSamplesNow{scaleSamplesBaseline};

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

int widestVectorBits() { return widestVectorBitsOfCpu(); }

void limitVectorBits(int bits) {
#if defined(QUELLOR_WIDE_VECTORS)
    vectorBits.store(std::min(bits, widestVectorBitsOfCpu()), std::memory_order_relaxed);
#endif
    scaleSamplesNow.store(scaleSamplesFor(std::min(bits, widestVectorBitsOfCpu())), std::memory_order_relaxed);
}

namespace {
// The widest loops from the start of the program on.
const bool kWidestChosen = (limitVectorBits(512), true);
}  // namespace

float scaleSamples(const float* in, float* out, std::size_t n, float g) {
    return scaleSamplesNow.load(std::memory_order_relaxed)(in, out, n, g);
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
        if (restsAt(g, target, coefficient)) {
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
    return snappedGain(g, target);
}

float renderWholeBuffer(float gain, float target, float coefficient,
                        const float* in, int inChannels, std::size_t inSamples,
                        float* out, int outChannels, std::size_t outSamples, float& writtenPeak) {
    const int inStride = strideOf(inChannels);
    const int outStride = strideOf(outChannels);
    const std::size_t frames = std::min(framesIn(inSamples, inStride), framesIn(outSamples, outStride));
    const std::size_t filled = frames * std::size_t(outStride);
    zeroSamples(out + filled, long(outSamples - filled));
    if (inStride == outStride && restsAt(gain, target, coefficient)) {
        // The common case: channel for channel at one gain, a single pass over the samples.
        writtenPeak = scaleContiguous(in, out, filled, target);
        return target;
    }
#if defined(__SSE2__)
    if (inStride == 2 && outStride == 2) {
        // Stereo while the gain moves: the samples of each frame are written as its gain comes
        // out of the step, so the per-frame chain of the ramp is the only wait.
        float g = gain;
        __m128 peak = _mm_setzero_ps();
        for (std::size_t f = 0; f < frames; ++f) {
            const float next = (target - g) * coefficient + g;
            if (next == g) {
                g = target;
                if (restsAt(g, target, coefficient)) {
                    const float rest = scaleContiguous(in + 2 * f, out + 2 * f, filled - 2 * f, target);
                    writtenPeak = horizontalMax(peak, rest);
                    return target;
                }
            } else {
                g = next;
            }
            const __m128 x = _mm_castpd_ps(_mm_load_sd(reinterpret_cast<const double*>(in + 2 * f)));
            const __m128 v = _mm_mul_ps(x, _mm_set1_ps(g));
            _mm_storel_pi(reinterpret_cast<__m64*>(out + 2 * f), v);
            peak = maxAbs4(v, peak);
        }
        writtenPeak = horizontalMax(peak, 0.0f);
        return snappedGain(g, target);
    }
#endif
    return renderGainRampPart(gain, target, coefficient, in, inChannels, inSamples, out, outChannels,
                              outSamples, 0, outStride, 0, outStride, &writtenPeak);
}

void rampGainPair(float& first, float firstTarget, float& second, float secondTarget, float coefficient,
                  float* gains, std::size_t frames) {
#if defined(__SSE2__)
    __m128 g = _mm_setr_ps(first, second, first, second);
    const __m128 t = _mm_setr_ps(firstTarget, secondTarget, firstTarget, secondTarget);
    const __m128 k = _mm_set1_ps(coefficient);
    const bool targetsRest = restsOn(firstTarget, coefficient) && restsOn(secondTarget, coefficient);
    std::size_t f = 0;
    // Every 16 frames: once both ramps rest on their targets, the remaining frames take them.
    while (f < frames && !(targetsRest && _mm_movemask_ps(_mm_cmpeq_ps(g, t)) == 0xf)) {
        const std::size_t end = std::min(frames, f + 16);
        for (; f < end; ++f) {
            g = stepLanes(g, t, k);
            _mm_storel_pi(reinterpret_cast<__m64*>(gains + 2 * f), g);
        }
    }
    for (; f < frames; ++f) _mm_storel_pi(reinterpret_cast<__m64*>(gains + 2 * f), t);
    alignas(16) float lanes[4];
    _mm_store_ps(lanes, g);
    first = lanes[0];
    second = lanes[1];
#else
    for (std::size_t f = 0; f < frames; ++f) {
        gains[2 * f] = first = stepGain(first, firstTarget, coefficient);
        gains[2 * f + 1] = second = stepGain(second, secondTarget, coefficient);
    }
#endif
}

float applyPairedGains(const float* gains, const float* in, int inChannels, float* out, int outChannels,
                       std::size_t frames, int outFirst, int windowCount, int partFirst, int partCount) {
    return applyWindow(PairedGains{gains}, in, strideOf(inChannels), out, strideOf(outChannels), frames, outFirst,
                       windowCount, partFirst, partCount);
}

StereoPairs renderStereoPairs(float mainGain, float mainTarget, float cueGain, float cueTarget,
                              float coefficient, const float* in, std::size_t inSamples, float* out,
                              int outChannels, std::size_t outSamples, int mainFirst, int phonesFirst) {
    const int stride = strideOf(outChannels);
    const std::size_t frames = std::min(inSamples >> 1, framesIn(outSamples, stride));
#if defined(__SSE2__)
    const bool mainLeft = mainFirst < phonesFirst;
    const int left = mainLeft ? mainFirst : phonesFirst, right = mainLeft ? phonesFirst : mainFirst;
    const float gl = mainLeft ? mainGain : cueGain, gr = mainLeft ? cueGain : mainGain;
    const float tl = mainLeft ? mainTarget : cueTarget, tr = mainLeft ? cueTarget : mainTarget;
    const bool adjacent = right == left + 2;
    __m128 g = _mm_setr_ps(gl, gl, gr, gr);
    const __m128 t = _mm_setr_ps(tl, tl, tr, tr);
    const bool targetsRest = restsAt(tl, tl, coefficient) && restsAt(tr, tr, coefficient);
    __m128 peaks;
#if defined(QUELLOR_WIDE_VECTORS)
    if (stride == 8 && wide()) {
        // Every channel of the rendered frames is written; only frames beyond the input remain.
        zeroSamples(out + frames * 8, long(outSamples - frames * 8));
        peaks = pairFrames8(g, t, coefficient, targetsRest, in, out, frames, left, right);
    } else
#endif
    {
        // Windows that fill the frame leave only frames beyond the input to silence.
        const std::size_t covered = adjacent && stride == 4 ? frames * 4 : 0;
        zeroSamples(out + covered, long(outSamples - covered));
        peaks = adjacent ? pairFrames<true>(g, t, coefficient, targetsRest, in, out, stride, frames, left, right)
                         : pairFrames<false>(g, t, coefficient, targetsRest, in, out, stride, frames, left, right);
    }
    alignas(16) float lanes[4], gains[4];
    _mm_store_ps(lanes, peaks);
    _mm_store_ps(gains, g);
    const int m = mainLeft ? 0 : 2;
    const float mainPeak = lanes[m + 1] > lanes[m] ? lanes[m + 1] : lanes[m];
    return {snappedGain(gains[m], mainTarget), snappedGain(gains[2 - m], cueTarget), mainPeak};
#else
    zeroSamples(out, long(outSamples));
    StereoPairs r{};
    r.mainGain = renderGainRampPart(mainGain, mainTarget, coefficient, in, 2, frames * 2, out, outChannels,
                                    outSamples, mainFirst, 2, 0, 2, &r.mainPeak);
    r.cueGain = renderGainRampPart(cueGain, cueTarget, coefficient, in, 2, frames * 2, out, outChannels,
                                   outSamples, phonesFirst, 2, 0, 2, nullptr);
    return r;
#endif
}

float restStereoPairs(float mainTarget, float cueTarget, float coefficient, const float* in, std::size_t inSamples,
                      float* out, int outChannels, std::size_t outSamples, int mainFirst, int phonesFirst) {
#if defined(QUELLOR_WIDE_VECTORS)
    if (outChannels == 8 && wide()) {
        const std::size_t frames = std::min(inSamples >> 1, outSamples >> 3);
        zeroSamples(out + frames * 8, long(outSamples - frames * 8));
        return scaledPeak(restPairs8(in, out, frames, mainFirst, mainTarget, phonesFirst, cueTarget), mainTarget);
    }
#endif
    return renderStereoPairs(mainTarget, mainTarget, cueTarget, cueTarget, coefficient, in, inSamples, out,
                             outChannels, outSamples, mainFirst, phonesFirst)
        .mainPeak;
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
