#pragma once
// Removes leftover multi-output aggregate devices that mirrored the output under one of two fixed
// UIDs. Nothing in this program creates them any more; one can still be left in the system, even
// as the default output. Run once at start-up, after the device monitors have started: they learn
// of the changes through their own listeners.
//
// Threads: main thread.

#include <cstdint>
#include <vector>

#include "platform/AudioConstants.h"

namespace quellor {

// Destroys every device that carries one of the two UIDs, first moving the default output to the
// aggregate's first present sub-device when the aggregate is the default. Never fails; logs each
// destruction.
void cleanUpLeftoverMirrorAggregates();

// The ids of the aggregate's sub-devices that are present, in sub-device order.
std::vector<AudioObjectID> subDeviceIDs(AudioObjectID aggregate);

}  // namespace quellor
