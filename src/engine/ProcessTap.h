#pragma once
// Carries the audio of one application from its processes to its output device(s). Owns three
// hardware objects: a process tap (a stereo mixdown of the application's processes, which silences
// their own output while it is read), a private aggregate device joining the output device(s)
// with that tap, and an IO procedure on the aggregate that runs the render pass.
//
// Threads: everything here is main-thread only. The IO procedure runs the render pass on the
// hardware's IO thread and shares the render state with the main thread through relaxed atomics
// (setters and takePeak below). A tap must not be destroyed from inside its IO block; teardown
// stops the device and destroys the IO procedure before the render state goes away.

#include <QString>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "base/Logger.h"
#include "base/Scheduler.h"
#include "engine/MixSink.h"
#include "engine/TapRenderState.h"
#include "platform/AudioHardware.h"

namespace quellor {

class ProcessTap {
public:
    // One output device of a tap; the first of a tap's outputs is its clock device.
    struct Output {
        QString uid;
        AudioObjectID id = 0;
        friend bool operator==(const Output&, const Output&) = default;
    };
    // MAIN and PHONES channel pairs on a single output device.
    struct BusLayout {
        int mainOffset = 0;
        int phonesOffset = 2;
        int pairWidth = 2;
    };

    // Stores volume and cue volume as given (unclamped); the ramps start at the cube of each.
    ProcessTap(float volume, float cueVolume, std::vector<AudioObjectID> processObjectIDs, bool muted,
               MixSink* mainLane = nullptr);
    ~ProcessTap();
    ProcessTap(const ProcessTap&) = delete;
    ProcessTap& operator=(const ProcessTap&) = delete;

    // Creates and starts tap, aggregate device and IO procedure. Throws HALError::operation naming
    // the failed step; what was created before it stays recorded until stop() or destruction (or
    // the next start(), which tears it down first). A started tap, or no outputs: does nothing.
    void start(const std::vector<Output>& outputs, std::optional<BusLayout> layout = std::nullopt);
    // Tears everything down and forgets the identifiers; gains, peaks and counters stay.
    void stop();

    // Read and reset in one step: a peak raised meanwhile is never lost.
    float takePeak() { return state_.peak.exchange(0.0f); }
    float takePostPeak() { return state_.postPeak.exchange(0.0f); }

    bool isProcessOutputting() const;
    bool isAggregateAlive() const;

    // Settings read by the IO path. Levels are clamped to 0...1 (not-a-number reads as 1).
    void setVolume(float v);
    void setCueVolume(float v);
    void setPhonesBusGain(float v);
    void setMuted(bool v) { state_.isMuted = v; }
    void setPhonesMode(std::int32_t v) { state_.phonesMode = v; }
    void setPanicked(bool v) { state_.panicked = v; }
    void setMeterPre(bool v) { state_.meterPre = v; }
    void setRecordsToMain(bool v) { state_.recordsToMain = v; }
    void setRecordPre(bool v) { state_.recordPre = v; }
    // The lane the IO procedure adds the MAIN mix into while recordsToMain is set (none: nowhere).
    // The sink must outlive the tap.
    void setMainLane(MixSink* lane) { state_.mainLane.store(lane, std::memory_order_release); }

    float volume() const { return state_.volume; }
    bool isMuted() const { return state_.isMuted; }
    float cueVolume() const { return state_.cueVolume; }
    std::int32_t phonesMode() const { return state_.phonesMode; }
    bool pairedBuses() const { return state_.pairedBuses; }
    int mainOffset() const { return state_.mainOffset; }
    int phonesOffset() const { return state_.phonesOffset; }
    int pairWidth() const { return state_.pairWidth; }
    float phonesBusGain() const { return state_.phonesBusGain; }
    bool panicked() const { return state_.panicked; }
    bool recordsToMain() const { return state_.recordsToMain; }
    bool recordPre() const { return state_.recordPre; }
    bool meterPre() const { return state_.meterPre; }
    float currentGain() const { return state_.currentGain; }
    float currentCueGain() const { return state_.currentCueGain; }
    // The MAIN gain the ramp heads for under the settings now (volume cubed; 0 when muted or silenced).
    float targetGain() const;
    float rampCoefficient() const { return state_.rampCoefficient; }
    bool isFloat32() const { return state_.isFloat32; }
    std::uint64_t renderCount() const { return state_.renderCount; }
    MixSink* mainLane() const { return state_.mainLane.load(std::memory_order_acquire); }

    AudioObjectID tapID() const { return tapID_; }
    AudioObjectID aggregateID() const { return aggregateID_; }
    std::optional<IOProcID> procID() const { return procID_; }
    const std::vector<AudioObjectID>& processObjectIDs() const { return processObjectIDs_; }
    double activatedSampleRate() const { return activatedSampleRate_; }
    const std::vector<Output>& activatedOutputs() const { return activatedOutputs_; }

    // Logs the diagnostic lines the IO path has recorded since the last call. Runs by itself
    // every half second while the tap is started, and at stop.
    void drainDiagnostics();

private:
    QVariantMap aggregateDescription(const std::vector<Output>& outputs, const QString& tapUUID) const;
    void applyBufferSize();
    void checkStreamFormat();
    void teardown();

    TapRenderState state_;
    std::vector<AudioObjectID> processObjectIDs_;
    AudioObjectID tapID_ = 0;
    AudioObjectID aggregateID_ = 0;
    std::optional<IOProcID> procID_;
    bool running_ = false;
    double activatedSampleRate_ = 0;
    std::vector<Output> activatedOutputs_;
    TaskSlot drainTask_;
    Liveness liveness_;
    Logger log_{"ProcessTap"};
};

}  // namespace quellor
