#pragma once
// The one recorder of the MAIN mix. It owns the main lane ("MAIN", a shared sum of every tap that
// plays on the MAIN device), turns capture on and off, opens and closes takes, and, while
// auto-record is on, decides from the lane's signal when a take opens and when it closes.
//
// A take is the file "Quellor <yyyy-MM-dd HH-mm-ss>.wav" in the recordings folder (a number is added
// when that name is taken). A take in which nothing was heard is removed when it closes. A take whose
// file vanishes (its folder removed or unmounted) goes on in a new file, made in the same folder again
// or else in the home folder; recordingFile() follows it there.
//
// Threads: main thread, except mainLane()'s producer calls (realtime, see RecordingLane).

#include <QDateTime>
#include <QString>

#include <cstdint>
#include <functional>
#include <optional>

#include "base/Logger.h"
#include "engine/MainRecorder.h"
#include "recording/RecordingLane.h"

namespace quellor {

class MixRecorder : public MainRecorder {
public:
    // A take opened by auto-record closes after this much silence on the MAIN mix: long enough to
    // carry the pause between two pieces of music, short enough that a stopped player ends the take.
    static constexpr double kAutoTakeSilenceSeconds = 10.0;
    // ...keeping this much of the silence after the last signal.
    static constexpr double kAutoTakeTailSeconds = 2.0;
    // After a take could not be opened, auto-record tries again after this many seconds of capture,
    // doubling the wait after each further failure up to kAutoTakeRetryMaxSeconds (a full disk
    // stays full for a while), and back to the first wait once a take opens.
    static constexpr double kAutoTakeRetrySeconds = 10.0;
    static constexpr double kAutoTakeRetryMaxSeconds = 320.0;

    using HostClock = std::function<std::uint64_t()>;
    explicit MixRecorder(HostClock hostClock = RecordingLane::hostTimeNow,
                         qint64 sizeCeilingBytes = RecordingLane::kSizeCeilingBytes);

    RecordingLane& mainLane() override { return mainLane_; }
    bool isCapturing() const override { return isCapturing_; }
    bool isTakeOpen() const { return isTakeOpen_; }
    // The current (or last) take's file; kept after the take closes.
    const std::optional<QString>& recordingFile() const { return recordingFile_; }
    double sampleRate() const { return sampleRate_; }
    std::uint64_t startHostTime() const { return startHostTime_; }
    // Frames captured since the capture started; divided by max(sampleRate, 1) it gives seconds.
    qint64 capturedFrames() const { return mainLane_.highWater(); }

    // Starts capturing the MAIN mix at `sampleRate` (no-op while capturing).
    void startCapture(double sampleRate) override;
    // Closes the open take and stops capturing (no-op while idle).
    void stopCapture() override;
    // Opens a take in `folder` (created if needed). With `withPreRoll` the take begins up to three
    // seconds before now. Returns the take's file, or none when not capturing, a take is already
    // open, or the file cannot be created.
    std::optional<QString> openTake(const QString& folder, bool withPreRoll = false);
    // A take for a recording the user starts, in the recordings folder (the chosen one, else the
    // default). A take that auto-record opened goes on as that recording instead.
    std::optional<QString> openTake() override;
    // Closes the open take, keeping all frames (`keepAll`) or those before `endFrame`; a take in which
    // nothing was heard is removed. No-op without an open take.
    void closeTake(qint64 endFrame, bool keepAll) override;

    // Auto-record, called by the engine's meter clock on every tick while auto-record is on: opens a
    // take (with the pre-roll) when the MAIN mix carries signal, and closes a take it opened after
    // kAutoTakeSilenceSeconds of silence. Takes opened with openTake() are left to their owner.
    void autoRecordTick() override;
    bool isAutoTake() const { return isTakeOpen_ && autoTake_; }

    // Set by the engine: stops the whole recording when a take reaches the size ceiling. If the take
    // is still open afterwards (or nobody is set), the recorder closes it itself, so that no take
    // grows past what a WAV header can describe.
    void setStopRequestHandler(std::function<void()> handler) override { requestStopRecording_ = std::move(handler); }
    // Told on the main thread what became of a take whose file vanished (see RecordingLane).
    void setRescueHandler(std::function<void(const RecordingLane::Rescue&)> handler) {
        rescueHandler_ = std::move(handler);
    }
    // Retention of the recordings folder.
    void pruneRecordings(const QString& folder) override;

    // "Quellor <yyyy-MM-dd HH-mm-ss>.wav" in `folder`, or with " 2", " 3"... added when taken.
    static QString uniqueTakePath(const QString& folder, const QDateTime& when);

private:
    void onSizeCeiling(int takeSerial);
    void onRescue(const RecordingLane::Rescue& rescue);
    std::optional<QString> openInRecordingFolder(bool withPreRoll);

    Logger log_{"MixRecorder"};
    HostClock hostClock_;
    RecordingLane mainLane_;
    bool isCapturing_ = false;
    bool isTakeOpen_ = false;
    std::optional<QString> recordingFile_;
    double sampleRate_ = 48000.0;
    std::uint64_t startHostTime_ = 0;

    std::function<void()> requestStopRecording_;
    std::function<void(const RecordingLane::Rescue&)> rescueHandler_;
    bool autoTake_ = false;
    qint64 signalSeenUpTo_ = -1;
    qint64 autoRetryAtFrame_ = 0;
    double autoRetryDelay_ = kAutoTakeRetrySeconds;
};

}  // namespace quellor
