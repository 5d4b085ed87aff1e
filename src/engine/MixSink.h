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

// A frame position in one capture. Frames count from 0 at the capture's start; `capture` names the
// capture the position was computed in, so that frames computed before a stop and a start are
// dropped rather than placed in the next capture.
struct CapturePosition {
    qint64 frame = 0;
    std::uint32_t capture = 0;

    CapturePosition operator+(qint64 frames) const { return {frame + frames, capture}; }
};

class MixSink {
public:
    // True while a capture runs; producers may skip their work otherwise.
    virtual bool isArmed() const = 0;
    // The position of a host time (nanoseconds on the monotonic clock) in the current capture.
    virtual CapturePosition framePosition(std::uint64_t hostTime) const = 0;
    // Adds interleaved stereo frames at a position; nothing when the position belongs to another
    // capture than the current one.
    virtual void addFramesAt(CapturePosition at, const float* interleavedStereo, int frames) = 0;

protected:
    ~MixSink() = default;
};

}  // namespace quellor
