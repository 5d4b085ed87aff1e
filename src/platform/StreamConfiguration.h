#pragma once
// The stream configuration of one scope of a device ('slay'): one entry per buffer (stream), each
// with its channel count. On the wire (the bytes getPropertyData writes) it is a buffer list:
//
//   offset 0          UInt32 numberBuffers
//   offset 4 + 4*i    UInt32 numberChannels of buffer i      (i = 0 ... numberBuffers-1)
//
// all native-endian, so a configuration of n buffers takes 4 + 4n bytes. A scope without streams
// is the 4-byte list with numberBuffers 0.
//
// Threads: a plain value type.

#include <QByteArray>
#include <cstdint>
#include <optional>
#include <vector>

namespace quellor {

struct StreamConfiguration {
    std::vector<std::uint32_t> channelsPerBuffer;

    std::uint32_t totalChannels() const;
    QByteArray toBytes() const;
    // Nothing when the bytes are shorter than their own buffer count says.
    static std::optional<StreamConfiguration> fromBytes(const void* data, std::size_t size);

    friend bool operator==(const StreamConfiguration&, const StreamConfiguration&) = default;
};

}  // namespace quellor
