#pragma once
// One recorded stereo source: a lock-free ring that realtime producers fill, a writer queue that
// drains the ring every 250 ms into the open take's WAV file (or, between takes, into a three-second
// pre-roll store), a size ceiling on the file, and the close, trim and silent-discard of a take.
//
// Frame positions count from 0 at start() and belong to that capture: a producer that computed its
// position before a stop and a start adds nothing to the new capture and cannot move its high-water
// mark (both marks the producers raise carry the capture in their top bits and are raised by a
// compare-and-swap on the pair). Ordinary drains stay one second behind the highest
// position produced so far, so that producers whose IO cycles arrive a little apart still meet in
// the same frames; a final drain (close, opening a take) takes everything. The timer queues a drain
// only when none is waiting, so a writer stuck on a hung disk does not pile up work, and a write
// failure is logged once until a write succeeds again. The WAV header of an open take is rewritten
// after every drain that wrote frames, so that a take cut short by a crash says how long it is.
//
// A take's file can vanish while it is written: its folder removed, moved or unmounted. The open
// descriptor still holds everything written so far, so the writer goes on writing into it and, at
// every drain, checks that the take's path still names the open file (the link count of the open
// file, and the inode the path names). Once it does not, the take is copied through the descriptor
// into a new file (in the take's folder, made again when it is gone, else in the rescue folder) and
// carries on there; until a new file can be made every drain tries again, and the close makes a
// last attempt. Each outcome is logged and reported to the main thread.
//
// Threads:
// - Realtime producers (any number, any thread): addFrames(), addFramesAt(), framePosition(). They
//   never lock, allocate or log, and may run only while the lane is armed.
// - Main thread: everything else. Operations that touch the take wait for the writer queue; the
//   writer queue never waits for the main thread (the size ceiling is reported through a posted
//   call), so the lock order is main thread, then writer queue.

#include <QString>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "base/Logger.h"
#include "base/Scheduler.h"
#include "engine/MixSink.h"
#include "recording/SerialQueue.h"

struct sf_private_tag;

namespace quellor {

class RecordingLane : public MixSink {
public:
    static constexpr qint64 kRingFrames = 384000;
    static constexpr int kPreRollSeconds = 3;
    static constexpr qint64 kSizeCeilingBytes = 4'200'000'000;
    static constexpr float kSignalLevel = 0.001f;  // a sample above this counts as signal
    static constexpr double kDrainInterval = 0.25;

    // `sizeCeilingBytes` is the sample-data size at which a take asks to be stopped.
    RecordingLane(QString sourceName, bool isSharedSum, qint64 sizeCeilingBytes = kSizeCeilingBytes);
    ~RecordingLane();
    RecordingLane(const RecordingLane&) = delete;
    RecordingLane& operator=(const RecordingLane&) = delete;

    // Host clock: nanoseconds on the monotonic clock (the clock of IO timestamps).
    static std::uint64_t hostTimeNow();

    // ---- main thread ----
    // Arms the lane (no-op while armed): clears the ring and the counters of the capture and starts
    // the 250 ms drain timer on the current Scheduler.
    void start(std::uint64_t hostTime, double sampleRate);
    // Disarms the lane (no-op while unarmed), closing an open take with all its frames.
    void stop();
    // Opens a take's file at `path` (32-bit float, stereo, at the capture rate). Everything produced
    // so far is drained first; with `withPreRoll` the take begins with the pre-roll store (up to
    // three seconds before now), otherwise at the current position. Resets the take's counters and
    // the heard flag. False (and logged) when the lane is unarmed, a take is open or the file cannot
    // be created; a file that the failed attempt left behind is removed.
    bool openTake(const QString& path, bool withPreRoll);
    // Finishes the open take: final drain, then keeps all frames (`keepAll`) or those before
    // `endFrame`, cutting the file and repairing its header when fewer are kept than written.
    void close(qint64 endFrame, bool keepAll);
    // Deletes the last take's file when nothing in it was heard. True when a file was removed.
    bool discardIfSilent();
    // Runs one drain on the writer queue and waits for it (the timer does the same without waiting).
    void drainNow(bool final);
    // Called on the main thread with the take's serial number when a take reaches the size ceiling,
    // once per take. From then on the file takes no more frames (they go to the pre-roll) until the
    // take is closed.
    void setSizeCeilingHandler(std::function<void(int takeSerial)> handler);

    // What became of a take whose file vanished: `keptPath` is the new file holding the take (empty
    // while none could be made); `lost` is set when the take closed with no file to keep it.
    struct Rescue {
        int takeSerial = 0;
        QString vanishedPath;
        QString keptPath;
        bool lost = false;
    };
    // Called on the main thread when a take's file is found gone, when it is kept in a new file, and
    // when a take closes that could not be kept.
    void setRescueHandler(std::function<void(const Rescue&)> handler);
    // Where a take goes when its own folder cannot be made again (read when a take opens).
    void setRescueFolder(const QString& folder);
    // The open (or last) take's file: a rescued take's new file. Waits for the writer queue.
    QString takePath() const;

    bool isArmed() const override { return armed_.load(std::memory_order_acquire) != 0; }
    bool hasOpenTake() const { return takeOpen_; }
    // The open (or last) take's first frame position and serial number.
    qint64 takeStartFrame() const { return takeStart_; }
    int takeSerial() const { return takeSerialMain_; }
    const QString& sourceName() const { return sourceName_; }
    double sampleRate() const { return sampleRate_.load(std::memory_order_relaxed); }

    // Values the producer keeps (plain reads; slightly stale values are fine for display and for
    // signal decisions).
    qint64 highWater() const { return frameOf(highWater_.load(std::memory_order_acquire)); }
    qint64 lastSignalFrame() const { return frameOf(lastSignalFrame_.load(std::memory_order_relaxed)); }
    // The current capture's number (raised by every start).
    std::uint32_t capture() const { return generation_.load(std::memory_order_acquire); }
    float signalPeak() const { return signalPeak_.load(std::memory_order_relaxed); }
    bool heardAnything() const { return heardAnything_.load(std::memory_order_relaxed); }

    // The writer's state, read on the writer queue (waits for it).
    struct State {
        qint64 drainedUpTo = 0;
        qint64 preRollWrite = 0;
        qint64 preRollFilled = 0;
        qint64 preRollCapacity = 0;
        qint64 bytesWritten = 0;
        qint64 clipFrames = 0;
        qint64 clipStartFrame = 0;
        bool stoppedAtSizeLimit = false;
        int takeSerial = 0;
        QString url;
    };
    State state() const;
    // The pre-roll's frames, oldest first (interleaved stereo); waits for the writer queue.
    std::vector<float> preRollFrames() const;
    // Jobs waiting for the writer queue: at most one drain, however long a write takes.
    std::size_t writerBacklog() const { return writer_->pending(); }
    // Queues `job` on the writer queue without waiting (tests hold the writer with it, as a disk
    // that hangs would).
    void runOnWriter(std::function<void()> job) { writer_->async(std::move(job)); }

    // ---- realtime producers ----
    // Position of a host time in the current capture (its frame may be negative before the start).
    CapturePosition framePosition(std::uint64_t hostTime) const override;
    // Adds interleaved stereo frames whose first frame was heard at `hostTime`.
    void addFrames(std::uint64_t hostTime, const float* interleavedStereo, int frames);
    // Adds interleaved stereo frames at a position. Nothing when the position belongs to an earlier
    // capture. In the shared-sum lane every producer's frames are summed into the same cells;
    // otherwise they are stored. Frames that fall outside the part of the ring the writer has
    // released (behind the drain, or a whole ring ahead of it) are dropped: writing them would mix
    // into audio that is still waiting to be written.
    void addFramesAt(CapturePosition at, const float* interleavedStereo, int frames) override;
    // The same at a frame position of the current capture.
    void addFramesAt(qint64 frame, const float* interleavedStereo, int frames) {
        addFramesAt(CapturePosition{frame, capture()}, interleavedStereo, frames);
    }

private:
    struct SfCloser {
        void operator()(sf_private_tag* file) const;
    };

    // A mark the producers raise: the capture in the top bits, the frame + 1 below (so that -1,
    // "no frame yet", fits).
    static constexpr int kFrameBits = 44;
    static constexpr std::uint64_t kFrameMask = (std::uint64_t(1) << kFrameBits) - 1;
    static constexpr std::uint32_t kCaptureMask = (std::uint32_t(1) << (64 - kFrameBits)) - 1;
    static std::uint64_t stamped(std::uint32_t capture, qint64 frame) {
        return (std::uint64_t(capture) << kFrameBits) | (std::uint64_t(frame + 1) & kFrameMask);
    }
    static qint64 frameOf(std::uint64_t mark) { return qint64(mark & kFrameMask) - 1; }
    // Raises the frame of `mark` to `frame` while the mark belongs to `capture`; false when it no
    // longer does (a newer capture started).
    static bool raiseMark(std::atomic<std::uint64_t>& mark, std::uint32_t capture, qint64 frame);

    // Writer queue only.
    void drain(bool final);
    void pushPreRoll(float left, float right);
    bool writeFrames(const float* interleaved, qint64 frames);
    // Creates a float stereo WAV at `path` (a new file only when `exclusive`) and returns it with
    // its descriptor; nothing (and no file left behind) when it cannot be made.
    sf_private_tag* createWav(const QString& path, bool exclusive, int* fd);
    // True when the open take's path no longer names its open file.
    bool takeFileVanished() const;
    // Moves the take whose file vanished into a new file; `final` at close.
    void rescueTake(bool final);
    bool copyTakeTo(const QString& path);
    void postRescue(Rescue rescue);
    void closeTakeFile();
    // Logs "Recording write failed" when this failure starts an episode of failures.
    void writeFailed();
    void writeSucceeded();

    std::atomic<std::uint32_t>& cell(qint64 frame, int channel) const;

    const QString sourceName_;
    const bool isSharedSum_;
    const qint64 sizeCeilingBytes_;
    const double ticksToSeconds_;
    Logger log_{"RecordingLane"};

    // Shared with producers.
    std::atomic<int> armed_{0};
    std::unique_ptr<std::atomic<std::uint32_t>[]> ring_;  // 2 cells per frame, float bit patterns
    std::atomic<std::uint64_t> startHostTime_{0};
    std::atomic<double> sampleRate_{48000.0};
    std::atomic<std::uint64_t> highWater_{stamped(0, 0)};
    std::atomic<qint64> drainedUpTo_{0};  // producers may write [drainedUpTo, drainedUpTo + ring)
    std::atomic<float> signalPeak_{0};
    std::atomic<std::uint64_t> lastSignalFrame_{stamped(0, -1)};
    std::atomic<bool> heardAnything_{false};
    std::atomic<std::uint32_t> generation_{0};  // the capture; kept within the bits above kFrameBits

    // Writer queue (or main thread while the writer queue waits).
    std::unique_ptr<sf_private_tag, SfCloser> file_;
    std::vector<float> preRoll_;
    qint64 preRollCapacity_ = 0;  // frames
    qint64 preRollWrite_ = 0;
    qint64 preRollFilled_ = 0;
    std::vector<float> drainBuffer_;
    qint64 bytesWritten_ = 0;
    qint64 clipFrames_ = 0;
    qint64 clipStartFrame_ = 0;
    bool stoppedAtSizeLimit_ = false;
    bool writeFailed_ = false;   // this take had a failed write: its file is checked at close
    bool writeFailing_ = false;  // the last write failed: the failure has been logged
    int takeSerial_ = 0;
    QString url_;
    int fd_ = -1;                 // the open take's descriptor (libsndfile closes it)
    QString rescueFolder_;
    bool vanished_ = false;       // the open take's path no longer names its file
    bool rescueFailing_ = false;  // no new file could be made yet: logged once

    // Main thread.
    bool takeOpen_ = false;
    qint64 takeStart_ = 0;
    int takeSerialMain_ = 0;
    std::function<void(int)> ceilingHandler_;
    std::function<void(const Rescue&)> rescueHandler_;
    QString rescueFolderMain_;
    TaskSlot writerTimer_;
    std::atomic<bool> drainQueued_{false};
    Liveness alive_;
    mutable std::unique_ptr<SerialQueue> writer_;
};

}  // namespace quellor
