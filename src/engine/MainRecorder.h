#pragma once
// The recorder of the MAIN mix as the engine sees it. The recording layer sits above the engine, so
// the engine names what it needs here and the application installs the real recorder
// (MixerEngine::setRecorder). Tests use a fake.
//
// Threads: main thread, except mainLane()'s producer calls (realtime, see MixSink).

#include <QString>
#include <functional>
#include <optional>

#include "engine/MixSink.h"

namespace quellor {

class MainRecorder {
public:
    virtual ~MainRecorder() = default;

    virtual bool isCapturing() const = 0;
    // Starts capturing at `sampleRate` (no-op while capturing).
    virtual void startCapture(double sampleRate) = 0;
    // Closes the open take and stops capturing (no-op while idle).
    virtual void stopCapture() = 0;
    // Opens a take for a recording the user starts, in the recordings folder. A take that
    // auto-record opened goes on as that recording. The take's file, or none when it cannot be made
    // or nothing is being captured.
    virtual std::optional<QString> openTake() = 0;
    // Closes the open take, keeping all frames (`keepAll`) or those before `endFrame`.
    virtual void closeTake(qint64 endFrame, bool keepAll) = 0;
    // Auto-record's take decision: run on every meter tick while auto-record is on and capturing.
    virtual void autoRecordTick() = 0;
    // Deletes the oldest recordings of `folder` beyond the size cap.
    virtual void pruneRecordings(const QString& folder) = 0;
    // The lane the taps add the MAIN mix into; lives as long as the recorder.
    virtual MixSink& mainLane() = 0;
    // Called when a take reaches the size ceiling: the whole recording is to stop.
    virtual void setStopRequestHandler(std::function<void()> handler) = 0;
};

}  // namespace quellor
