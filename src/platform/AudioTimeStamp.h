#pragma once
// When an IO cycle's buffers play: the position on the device's sample clock and the host time
// (nanoseconds on a monotonic clock) that goes with it.
//
// Threads: a plain value.

#include <cstdint>

namespace quellor {

struct AudioTimeStamp {
    double sampleTime = 0;
    std::uint64_t hostTime = 0;
};

}  // namespace quellor
