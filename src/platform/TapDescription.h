#pragma once
// What a process tap captures: a mixdown of the listed process objects, stereo or mono, and what
// happens to their own output while the tap exists.
//
// Threads: a plain value.

#include <QString>
#include <cstdint>
#include <vector>

#include "platform/AudioConstants.h"

namespace quellor {

struct TapDescription {
    enum class MuteBehavior : std::uint32_t {
        unmuted = 0,          // the processes keep playing on their own devices
        muted = 1,            // silent on their own devices while the tap exists
        mutedWhenTapped = 2,  // silent while a running aggregate device reads the tap
    };

    std::vector<AudioObjectID> processes;
    bool mono = false;  // false: a stereo mixdown
    QString uuid;       // names the tap in an aggregate description's "taps"
    MuteBehavior muteBehavior = MuteBehavior::unmuted;
    bool isPrivate = false;
    QString name;

    friend bool operator==(const TapDescription&, const TapDescription&) = default;
};

}  // namespace quellor
