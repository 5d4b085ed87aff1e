#pragma once
// The identity of a MIDI source: its unique id and whether it belongs to a hardware device.
// A plain value, safe on any thread.
//
// A connected source travels with its packets as a connection reference: bits 0...31 hold the
// unique id, bit 32 the hardware flag, and bit 33 is always set so that the reference is never 0.

#include <cstdint>

namespace quellor {

struct MIDISource {
    std::int32_t id = 0;
    bool isHardware = false;

    bool operator==(const MIDISource&) const = default;

    std::uint64_t connectionReference() const {
        return std::uint64_t(std::uint32_t(id)) | (std::uint64_t(isHardware) << 32) | (std::uint64_t(1) << 33);
    }
    static MIDISource fromConnectionReference(std::uint64_t ref) {
        return {std::int32_t(std::uint32_t(ref & 0xFFFFFFFFu)), ((ref >> 32) & 1) != 0};
    }
};

}  // namespace quellor
