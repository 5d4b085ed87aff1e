#pragma once
// The body of a tap's IO procedure: turns the tapped audio (the last input buffer) into the
// application's contribution on the output streams: the MAIN window at the application's level,
// the PHONES window with its cue, 30 ms gain ramps, mute, panic and solo silencing, and the peaks
// the meter clock shows. It counts its calls for the watchdog and records its diagnostic lines in
// the state's ring. After it, feedMainMix adds the tap's share of the MAIN mix to the recording lane.
// Both work from the settings the IO procedure reads once at the top of its cycle
// (TapRenderState::settings()), so that they agree on one set of values.
//
// Threads: renderPass() runs on the tap's IO thread only, one call at a time per tap; it takes no
// lock, allocates nothing, logs nothing and never waits; so does feedMainMix. The helpers are pure and may be called
// from any thread.

#include "base/Level.h"
#include "engine/MixSink.h"
#include "engine/TapRenderState.h"
#include "platform/IOBufferList.h"

namespace quellor {

struct RenderTargets {
    float main = 0;  // MAIN window
    float cue = 0;   // PHONES window
};

// The targets the pass computes from the settings (mute, volume, cue mode, cue volume, panic,
// PHONES bus gain).
RenderTargets renderTargets(const TapSettings& settings);

void renderPass(TapRenderState& state, const TapSettings& settings, const IOBufferList& input,
                const IOBufferList& output);

// When the tap plays on the MAIN device (recordsToMain) and a capture runs: adds this cycle's MAIN
// pair as rendered (after the fader), or the tapped input when recordPre is set, to `lane` at the
// frame position of `hostTime` (when the output is heard). Nothing for a device that is not
// 32-bit float.
void feedMainMix(const TapSettings& settings, MixSink& lane, std::uint64_t hostTime, const IOBufferList& input,
                 const IOBufferList& output);

}  // namespace quellor
