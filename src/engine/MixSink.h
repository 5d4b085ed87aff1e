#pragma once
// Where the taps' IO procedures put their share of the MAIN mix: the producer side of the recording
// lane, which the recording layer implements. Frame positions count from 0 at the start of the
// current capture; every producer's frames are summed into the same positions.
//
// Threads: every call from any realtime IO thread, concurrently; each is lock-free and
// allocation-free and does nothing while no capture runs.

#include <QtGlobal>
#include <cstdint>

namespace quellor {

class MixSink {
public:
    // True while a capture runs; producers may skip their work otherwise.
    virtual bool isArmed() const = 0;
    // The frame position of a host time (nanoseconds on the monotonic clock) in the current capture.
    virtual qint64 framePosition(std::uint64_t hostTime) const = 0;
    // Adds interleaved stereo frames at a frame position.
    virtual void addFramesAt(qint64 position, const float* interleavedStereo, int frames) = 0;

protected:
    ~MixSink() = default;
};

}  // namespace quellor
