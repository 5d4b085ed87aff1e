#pragma once
// The audio hardware layer on a PipeWire server: the machine's own sinks and sources as devices,
// the applications that play or record as process objects, the session manager's defaults as the
// default devices.
//
// What a client sees (kept in an object store of its own, AudioObjectStore.h, the same store the
// simulated hardware keeps its world in; properties by their hal:: constants, AudioConstants.h):
// - Devices from the "Audio/Sink" (output) and "Audio/Source" (input) nodes: kDeviceUID the node
//   name, kName its description, kTransportType and kDataSource from what the node, its card and
//   the card's active route say (transportFor(), dataSourceFor() in PipeWireNode.h),
//   kStreamConfiguration one stream of the node's channels, kNominalSampleRate and
//   kBufferFrameSize/kBufferFrameSizeRange from the graph clock (read only: the clock is the whole
//   desktop's), kLatency what the node's ports report for the way the sound goes,
//   kDeviceIsRunningSomewhere while the node runs, and where the node has volume controls
//   kVirtualMainVolume (the cube root of the loudest channel volume, as the desktop's sliders show
//   it) and kMute, settable.
// - Process objects, one per process that owns "Stream/Output/Audio" or "Stream/Input/Audio" nodes
//   (kProcessPID; kProcessIsRunningOutput/kProcessIsRunningInput while one of them runs).
// - kDefaultOutputDevice/kDefaultInputDevice follow the "default" metadata; writing one sets the
//   configured default there, as the desktop's sound settings do, and reads back once the session
//   manager has applied it.
// Volume and mute writes go to the node's Props; they read back once the server reports them.
// Taps, aggregate devices and IO procedures are PipeWireTaps' (see there), which work on the same
// one connection: the hardware attaches them to each connection it makes and detaches them before
// it lets one go.
//
// A server that goes away takes every device and process object with it; the hardware connects
// again every kReconnectSeconds and rebuilds from what the new server reports. Objects from a new
// connection get new ids.
//
// Threads: reads, writes and listener registrations from any non-realtime thread; start() and the
// rebuilding on the main thread (PipeWire's own thread only posts to it).

#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "base/Logger.h"
#include "base/Scheduler.h"
#include "platform/PipeWireConnection.h"
#include "platform/PipeWireTaps.h"
#include "platform/AudioObjectStore.h"

namespace quellor {

class PipeWireHardware : public AudioHardware {
public:
    static constexpr double kReconnectSeconds = 1.0;

    PipeWireHardware();
    ~PipeWireHardware() override;

    // Connects; false (and nothing is retried) when no server answers.
    bool start();
    bool connected() const;

    // AudioHardware
    OSStatus propertyDataSize(AudioObjectID object, const PropertyAddress& address, std::uint32_t& size) override;
    OSStatus propertyData(AudioObjectID object, const PropertyAddress& address, std::uint32_t& ioSize,
                          void* data) override;
    OSStatus propertyObject(AudioObjectID object, const PropertyAddress& address, QVariant& value) override;
    OSStatus setPropertyData(AudioObjectID object, const PropertyAddress& address, std::uint32_t size,
                             const void* data) override;
    OSStatus isPropertySettable(AudioObjectID object, const PropertyAddress& address, bool& settable) override;
    OSStatus addPropertyListener(AudioObjectID object, const PropertyAddress& address, PropertyListener listener,
                                 ListenerToken& token) override;
    OSStatus removePropertyListener(AudioObjectID object, const PropertyAddress& address,
                                    ListenerToken token) override;
    OSStatus createProcessTap(const TapDescription& description, AudioObjectID& tap) override;
    OSStatus destroyProcessTap(AudioObjectID tap) override;
    OSStatus createAggregateDevice(const QVariantMap& description, AudioObjectID& device) override;
    OSStatus destroyAggregateDevice(AudioObjectID device) override;
    OSStatus createIOProc(AudioObjectID device, IOBlock block, IOProcID& proc) override;
    OSStatus destroyIOProc(AudioObjectID device, IOProcID proc) override;
    OSStatus startDevice(AudioObjectID device, IOProcID proc) override;
    OSStatus stopDevice(AudioObjectID device, IOProcID proc) override;

    // The objects as they stand (for logging what was found).
    const AudioObjectStore& objects() const { return model_; }

private:
    struct Stream {
        std::int32_t pid = 0;
        bool playing = false;
        bool recording = false;
    };

    bool connect();
    void applyNode(const PipeWireNode& node);
    void applyDevice(const PipeWireNode& node);
    void applyStream(const PipeWireNode& node);
    void removeNode(std::uint64_t serial);
    void refreshProcess(std::int32_t pid);
    void applyDefaults();
    void applyClock();
    void connectionLost();
    void scheduleReconnect();

    AudioObjectStore model_;
    mutable std::mutex mutex_;  // guards the maps and the connection for writes from other threads
    std::unique_ptr<PipeWireConnection> connection_;
    std::uint64_t generation_ = 0;  // of the connection whose reports are applied
    std::map<std::uint64_t, PipeWireNode> devices_;          // by serial
    std::map<std::uint64_t, AudioObjectID> deviceObjects_;   // serial -> device id
    std::map<std::uint64_t, Stream> streams_;                // by serial
    std::map<std::int32_t, AudioObjectID> processObjects_;   // pid -> process object
    std::string defaultSink_, defaultSource_;
    PipeWireClock clock_;
    TaskSlot reconnect_;
    Logger log_{QStringLiteral("PipeWireHardware")};
    PipeWireTaps taps_{model_};
    Liveness alive_;
};

}  // namespace quellor
