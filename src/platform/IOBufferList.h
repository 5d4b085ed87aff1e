#pragma once
// The buffers of one IO cycle, as the audio hardware hands them to an IO procedure: a list of
// buffers of interleaved 32-bit samples. Neither type owns memory; the hardware owns the storage
// for the duration of the call.
//
// Threads: filled by the hardware's IO thread and read by the IO procedure on that same thread.

#include <cstddef>
#include <cstdint>

namespace quellor {

struct IOBuffer {
    std::uint32_t channels = 0;  // interleaved channels per frame
    std::uint32_t byteSize = 0;  // bytes of data; samples = byteSize / 4
    void* data = nullptr;        // may be null: the stream carries nothing this cycle

    float* samples() const { return static_cast<float*>(data); }
    std::size_t sampleCount() const { return byteSize / 4; }
};

struct IOBufferList {
    IOBuffer* buffers = nullptr;
    std::uint32_t count = 0;

    IOBuffer* begin() const { return buffers; }
    IOBuffer* end() const { return buffers + count; }
    IOBuffer& operator[](std::size_t i) const { return buffers[i]; }
    // The first and the last buffer, or null when the list is empty.
    IOBuffer* first() const { return count ? buffers : nullptr; }
    IOBuffer* last() const { return count ? buffers + count - 1 : nullptr; }
};

}  // namespace quellor
