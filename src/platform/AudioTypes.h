#pragma once
// Plain value records that travel through the audio hardware layer. Their layouts are fixed (they
// are copied byte for byte into callers' buffers), so each has a static size check.

#include <cstdint>

#include "platform/AudioConstants.h"

namespace quellor {

// Where a property lives on an object: selector, scope and element (always hal::kElementMain here).
struct PropertyAddress {
    std::uint32_t selector = 0;
    std::uint32_t scope = hal::kScopeGlobal;
    std::uint32_t element = hal::kElementMain;
    friend bool operator==(const PropertyAddress&, const PropertyAddress&) = default;
};
static_assert(sizeof(PropertyAddress) == 12);

// A closed range of Float64 values ('fsz#').
struct ValueRange {
    double minimum = 0;
    double maximum = 0;
    friend bool operator==(const ValueRange&, const ValueRange&) = default;
};
static_assert(sizeof(ValueRange) == 16);

// The format of a stream ('sfmt'): 40 bytes, Float64 rate followed by eight UInt32 fields.
struct StreamFormat {
    double sampleRate = 0;
    std::uint32_t formatID = 0;       // hal::kFormatLinearPCM
    std::uint32_t formatFlags = 0;    // hal::kFormatFlagIsFloat, ...
    std::uint32_t bytesPerPacket = 0;
    std::uint32_t framesPerPacket = 0;
    std::uint32_t bytesPerFrame = 0;
    std::uint32_t channelsPerFrame = 0;
    std::uint32_t bitsPerChannel = 0;
    std::uint32_t reserved = 0;
    friend bool operator==(const StreamFormat&, const StreamFormat&) = default;

    // Interleaved 32-bit float PCM with the given channel count.
    static StreamFormat float32(double rate, std::uint32_t channels);
};
static_assert(sizeof(StreamFormat) == 40);

}  // namespace quellor
