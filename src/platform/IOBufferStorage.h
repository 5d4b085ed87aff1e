#pragma once
// Owns the sample memory behind an IOBufferList: one zeroed buffer per stream, allocated up
// front so that the IO cycle itself never allocates. Each buffer starts on a cache line, as a
// device's buffers do, so that no loop over it pays for a line split at its start.
//
// Threads: build and reshape on any non-realtime thread; list() and the samples may then be used
// by one IO thread at a time.

#include <algorithm>
#include <cstdint>
#include <new>
#include <vector>

#include "platform/IOBufferList.h"

namespace quellor {

class IOBufferStorage {
public:
    static constexpr std::size_t kAlignment = 64;

    template <class T>
    struct Aligned {
        using value_type = T;
        Aligned() = default;
        template <class U>
        Aligned(const Aligned<U>&) {}
        T* allocate(std::size_t n) {
            return static_cast<T*>(::operator new(n * sizeof(T), std::align_val_t(kAlignment)));
        }
        void deallocate(T* p, std::size_t) { ::operator delete(p, std::align_val_t(kAlignment)); }
        template <class U>
        bool operator==(const Aligned<U>&) const { return true; }
    };
    using Samples = std::vector<float, Aligned<float>>;

    struct Stream {
        std::uint32_t channels = 2;
        std::uint32_t frames = 0;
    };

    IOBufferStorage() = default;
    explicit IOBufferStorage(const std::vector<Stream>& streams) { reshape(streams); }
    IOBufferStorage(const IOBufferStorage&) = delete;
    IOBufferStorage& operator=(const IOBufferStorage&) = delete;

    // One buffer per stream, channels x frames samples, all zero.
    void reshape(const std::vector<Stream>& streams) {
        storage_.assign(streams.size(), {});
        buffers_.assign(streams.size(), {});
        for (std::size_t i = 0; i < streams.size(); ++i) {
            const std::uint32_t width = streams[i].channels ? streams[i].channels : 1;
            storage_[i].assign(std::size_t(width) * streams[i].frames, 0.0f);
            buffers_[i] = {streams[i].channels, std::uint32_t(storage_[i].size() * 4), storage_[i].data()};
        }
    }

    IOBufferList list() { return {buffers_.data(), std::uint32_t(buffers_.size())}; }
    std::size_t size() const { return buffers_.size(); }
    IOBuffer& buffer(std::size_t i) { return buffers_[i]; }
    float* samples(std::size_t i) { return storage_[i].data(); }
    Samples& stream(std::size_t i) { return storage_[i]; }
    void zero() {
        for (auto& s : storage_) std::fill(s.begin(), s.end(), 0.0f);
    }

private:
    std::vector<Samples> storage_;
    std::vector<IOBuffer> buffers_;
};

}  // namespace quellor
