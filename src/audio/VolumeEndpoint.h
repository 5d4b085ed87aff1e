#pragma once
// Where a hardware volume write goes: a device and the scope of its volume ('outp' or 'inpt').
// The element is always the main element.

#include <cstdint>

namespace quellor {

struct VolumeEndpoint {
    std::uint32_t deviceID = 0;
    std::uint32_t scope = 0;
    bool operator==(const VolumeEndpoint&) const = default;
};

}  // namespace quellor
