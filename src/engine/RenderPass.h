#pragma once
// The body of a tap's IO procedure: turns the tapped audio (the last input buffer) into the
// application's contribution on the output streams: the MAIN window at the application's level,
// the PHONES window with its cue, 30 ms gain ramps, mute, panic and solo silencing, and the peaks
// the meter clock shows. It counts its calls for the watchdog and records its diagnostic lines in
// the state's ring.
//
// Threads: renderPass() runs on the tap's IO thread only, one call at a time per tap; it takes no
// lock, allocates nothing, logs nothing and never waits. The helpers are pure and may be called
// from any thread.

#include "engine/TapRenderState.h"
#include "platform/IOBufferList.h"

namespace quellor {

// The gain law: clamped to 0...1 (not-a-number counts as 1, as the fader law reads it) and cubed.
inline float clampUnit(float value) {
    if (value >= 0.0f) return value <= 1.0f ? value : 1.0f;
    return value < 0.0f ? 0.0f : 1.0f;
}
inline float cubedLevel(float value) {
    const float c = clampUnit(value);
    return c * c * c;
}

struct RenderTargets {
    float main = 0;  // MAIN window
    float cue = 0;   // PHONES window
};

// The targets the pass computes from the state's settings (mute, volume, cue mode, cue volume,
// panic, PHONES bus gain).
RenderTargets renderTargets(const TapRenderState& state);

void renderPass(TapRenderState& state, const IOBufferList& input, const IOBufferList& output);

}  // namespace quellor
