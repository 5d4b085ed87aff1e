#pragma once
// The one rule for every level the system stores or applies: application faders and cue levels,
// the PHONES bus, device and system volumes, and the gains a tap renders with.

namespace quellor {

// A level within 0...1, linear in fader travel. A value outside is clamped to the nearer end, the
// infinities too. A value that is not a number reads as 1, full level.
//
// Why full level: such a value says nothing about what the user wanted, and the fader law has
// always read it as full level, so records already stored keep their meaning. A fader cannot
// boost, so full level is the application as it plays by itself: a fault stays audible and gets
// noticed, where reading it as silence would quietly drop a source from the mix. Hardware volumes
// take the same rule so that a record, the tap that plays it and a device written from it can never
// disagree. A NaN can only come from a fault of our own: remote messages that carry one are dropped
// and JSON cannot hold one.
//
// Plain arithmetic: safe on the realtime path.
constexpr float clampLevel(float value) {
    if (value >= 0.0f) return value <= 1.0f ? value : 1.0f;
    return value < 0.0f ? 0.0f : 1.0f;
}

// The gain law: the gain a level plays at is the level, clamped by the rule above, cubed.
constexpr float cubedLevel(float value) {
    const float c = clampLevel(value);
    return c * c * c;
}

}  // namespace quellor
