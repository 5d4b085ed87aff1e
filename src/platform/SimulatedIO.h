#pragma once
// The sound side of the simulated hardware: processes that play generated tones on a device,
// process taps that mix processes down, private aggregate devices that join output devices with
// taps, IO procedures called once per IO cycle, and a capture of what every device receives.
//
// The world advances in IO cycles of a number of frames. In each, every running aggregate calls
// its started IO procedures (with its own buffer size, as often as its cursor needs to keep up),
// and what they write is added to its sub-devices' outputs; every playing process that no running
// tap silences adds its tone straight to its device's first two channels. While a test asks for it
// (setCapturing), what each device then receives is captured per channel (the latest samples, peak,
// RMS); otherwise nothing is kept, so a program that plays for days holds no more than at start.
// Tones are functions of the frame index, so a tap hears exactly the samples the process would have
// played.
//
// Drivers: advance(frames) runs cycles in the caller's thread (tests); startVirtualDriver runs them
// from Scheduler::current() timers, so advancing virtual time plays audio; startRealTimeDriver
// runs them on a thread of its own at the pace of the wall clock (the application). IO timestamps
// carry the world's frame and its host time (see hostTimeNow()).
//
// Faults: capture permission (refused: tap creation fails), stalled IO (an aggregate's procedures
// are not called, it still reads its taps), killed aggregates (not alive, no IO, taps released).
//
// Threads: every call from any non-realtime thread; IO blocks run in the driver's thread without
// any simulation lock held. stop/destroy of an IO procedure wait for a call in flight to end.

#include <QString>
#include <QStringList>
#include <QVariantMap>
#include <atomic>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

#include "base/Scheduler.h"
#include "platform/AudioHardware.h"
#include "platform/SimulatedWorld.h"

namespace quellor {

class SimulatedHardware;

class SimulatedIO {
public:
    using Tone = SimulatedWorld::Tone;

    // What one device received since the capture was last cleared, per output channel.
    struct Capture {
        std::vector<std::vector<float>> samples;  // the latest frames, at most kMaxCapturedFrames
        std::vector<float> peak;
        std::vector<double> sumOfSquares;
        std::uint64_t frames = 0;  // all frames received, also those no longer in `samples`
        double rms(std::size_t channel) const;
    };
    static constexpr std::size_t kMaxCapturedFrames = 1 << 16;

    // The aggregate as the simulation holds it (for inspection).
    struct AggregateInfo {
        QVariantMap description;
        bool running = false;  // some IO procedure started
        bool killed = false;
        bool stalled = false;
        std::size_t ioProcCount = 0;
    };

    explicit SimulatedIO(SimulatedHardware& hardware);
    ~SimulatedIO();

    // --- AudioHardware calls (after fault rules) ---
    OSStatus createProcessTap(const TapDescription& description, AudioObjectID& tap);
    OSStatus destroyProcessTap(AudioObjectID tap);
    OSStatus createAggregateDevice(const QVariantMap& description, AudioObjectID& device);
    OSStatus destroyAggregateDevice(AudioObjectID device);
    OSStatus createIOProc(AudioObjectID device, IOBlock block, IOProcID& proc);
    OSStatus destroyIOProc(AudioObjectID device, IOProcID proc);
    OSStatus startDevice(AudioObjectID device, IOProcID proc);
    OSStatus stopDevice(AudioObjectID device, IOProcID proc);
    // The clock device of some aggregates changed its rate: they follow.
    void deviceRateChanged(const QString& deviceUID, double rate);

    // --- The world ---
    void setTone(AudioObjectID process, const Tone& tone);
    // The device a process plays on; 0 (the default) follows the default output device.
    void setProcessDevice(AudioObjectID process, AudioObjectID device);
    void setCapturePermission(bool granted);
    // A format every aggregate created from now on reports instead of its Float32 one.
    void overrideAggregateFormat(std::optional<StreamFormat> format);
    void setStalled(AudioObjectID aggregate, bool stalled);
    void kill(AudioObjectID aggregate);

    // --- Looking at it ---
    std::optional<TapDescription> tap(AudioObjectID tap) const;
    std::vector<AudioObjectID> taps() const;
    std::optional<AggregateInfo> aggregate(AudioObjectID device) const;
    std::vector<AudioObjectID> aggregates() const;
    // Whether the process's own output is silenced by a tap right now.
    bool isProcessSilenced(AudioObjectID process) const;
    // Captures are off at first. Switching them on starts empty ones; switching them off drops them.
    void setCapturing(bool on);
    // Empty while captures are off.
    Capture capture(AudioObjectID device) const;
    void clearCaptures();
    std::uint64_t now() const;  // frames played so far
    // The host time (nanoseconds) of the frame playing now, as IO timestamps carry it: frames at the
    // driver's rate, on the monotonic clock once the real-time driver runs (from 0 before).
    std::uint64_t hostTimeNow() const;

    // --- Drivers ---
    void advance(std::uint32_t frames);
    void startVirtualDriver(std::uint32_t framesPerCycle, double rate = 48000.0);
    void startRealTimeDriver(std::uint32_t framesPerCycle, double rate = 48000.0);
    void stopDrivers();

    struct State;

private:
    struct Cycle;
    using DeviceChannels = std::vector<std::pair<AudioObjectID, std::uint32_t>>;  // device, output channels

    std::uint64_t hostTimeOf(std::uint64_t frame) const;
    // The phases of advance(), in their order. Those between the prepared and the run cycles are
    // called with the state's mutex held; listedDeviceChannels and runCycles without it.
    DeviceChannels listedDeviceChannels() const;
    std::vector<Cycle> prepareCycles(std::uint64_t start, std::uint64_t end);
    void mixTappedProcesses(Cycle& cycle, const QStringList& tapUUIDs, std::size_t tapBase);
    void runCycles(std::vector<Cycle>& cycles) const;
    void resetTimelines(const DeviceChannels& devices, std::uint64_t start);
    void addCycleOutputs(const std::vector<Cycle>& cycles);
    void playUnsilencedProcesses(std::uint64_t start, std::uint64_t end);
    void playOut(const DeviceChannels& devices, std::uint64_t end, std::uint32_t frames);

    SimulatedHardware& hardware_;
    std::shared_ptr<State> state_;
    std::recursive_mutex ioMutex_;  // held while IO blocks run; stop and destroy wait on it
    TaskSlot virtualDriver_;
    std::thread realTimeDriver_;
    std::atomic<bool> realTimeRunning_{false};
    std::atomic<std::int64_t> hostOrigin_{0};
    std::atomic<double> hostRate_{48000.0};
};

}  // namespace quellor
