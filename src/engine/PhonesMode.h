#pragma once
// What a tap plays on the PHONES pair of a device with paired buses. The engine sets it on every
// tap from the cue buttons of all the strips; the render pass reads it on the IO thread, where it
// arrives through a relaxed atomic (an int underneath). A value that is none of these is taken as
// MirrorsMain.

#include <cstdint>

namespace quellor {

enum class PhonesMode : std::int32_t {
    MirrorsMain = 0,  // no strip is cued: PHONES carries what MAIN carries, fader and mute included
    CueLevel = 1,     // this strip is cued: PHONES plays it at its cue level, whatever fader and mute say
    Silent = 2,       // another strip is cued and this one is not: nothing of it on PHONES
};

}  // namespace quellor
