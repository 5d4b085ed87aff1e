#pragma once
// The timing of one cycle of an aggregate's render on PipeWire's data thread: how many frames the
// cycle has, and the sample and host times that go with it.
//
// The length comes from the buffers alone: the fewest frames any input port delivered (a port that
// delivered nothing does not count); a cycle where none delivered anything keeps the last length,
// and before any length is known there is nothing to render. The graph's position is not read: on
// this PipeWire it can point at memory already given back once the graph is rearranged.
//
// Host times follow the sample clock from an anchor, so that consecutive cycles meet exactly; the
// anchor moves to the wall clock when the two part by more than two cycles (a stall, a rate
// change). What is written in a cycle is heard once the device has played the cycle before it: the
// output time is one cycle on.
//
// Threads: one data thread; no allocation, lock or system call.

#include <cstddef>
#include <cstdint>
#include <optional>

#include "platform/AudioTimeStamp.h"

namespace quellor {

class PipeWireCycle {
public:
    static constexpr std::uint32_t kMaxFrames = 8192;  // the largest quantum PipeWire runs a graph at

    explicit PipeWireCycle(double rate) : nanosPerFrame_(1e9 / (rate > 0 ? rate : 48000.0)) {}

    struct Timing {
        std::uint32_t frames = 0;
        AudioTimeStamp now, output;
    };

    // The next cycle, from the frames each of `count` input ports delivered and the monotonic
    // clock's `wallNanos`; nothing when there is nothing to render.
    std::optional<Timing> next(const std::uint32_t* delivered, std::size_t count, std::uint64_t wallNanos);

private:
    double nanosPerFrame_;
    std::uint32_t lastFrames_ = 0;
    std::uint64_t sampleTime_ = 0;
    std::uint64_t anchorHost_ = 0, anchorFrame_ = 0;
};

}  // namespace quellor
