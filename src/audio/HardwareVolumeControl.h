#pragma once
// What the device and the system volume controllers share: the hardware volume ('vmvc') and mute
// of one endpoint, writes that go through a VolumeWriteQueue, and listeners that follow changes
// made elsewhere.
//
// While a write of ours is in flight (isWriting) the controller trusts its own values and ignores
// what the device reports; the completion of the newest write ends that, and a failed newest write
// re-reads the device so the fields show what it really holds. So does a write that was in flight
// when the controller moved to another device: the values it kept belong to the old device.
//
// Threads: main thread only. Completions and listener work hold the controller weakly.

#include <memory>
#include <vector>

#include "audio/HALListener.h"
#include "audio/VolumeControlling.h"
#include "audio/VolumeEndpoint.h"
#include "base/Scheduler.h"

namespace quellor {

class VolumeWriteQueue;

class HardwareVolumeControl : public VolumeControlling {
    Q_OBJECT
public:
    float volume() const override { return volume_; }
    bool isMuted() const override { return muted_; }
    bool canSetVolume() const override { return canSetVolume_; }
    bool canMute() const override { return canMute_; }

    // Re-reads volume and mute from the device, unless a write of ours is in flight.
    virtual void refresh() = 0;

    const VolumeEndpoint& endpoint() const { return endpoint_; }
    bool isWriting() const { return isWriting_; }

protected:
    HardwareVolumeControl(VolumeEndpoint endpoint, VolumeWriteQueue& queue, QObject* parent);

    // Takes the device's capabilities and listens to its volume and mute from now on.
    void bindDevice(AudioObjectID device);
    // Reads volume and mute and stores what was read; true when either changed.
    bool readDevice();
    // Sends the clamped level to the write queue. A level of 0 mutes and any other level unmutes
    // a device whose mute can be set, in the same write.
    void submitWrite(float clamped);
    // Writes the opposite mute at once. The new state, or nothing when the write failed (the
    // device is then re-read).
    std::optional<bool> writeToggledMute();

    void storeVolume(float value);

    VolumeEndpoint endpoint_;

private:
    void writeCompleted(std::uint64_t token, bool succeeded);

    float volume_ = 1.0f;
    bool muted_ = false;
    bool canSetVolume_ = true;
    bool canMute_ = true;
    VolumeWriteQueue& queue_;
    std::vector<std::unique_ptr<HALListener>> listeners_;
    std::uint64_t writeToken_ = 0;
    bool isWriting_ = false;
    bool rereadAfterWrite_ = false;  // bound to another device while a write was in flight

protected:
    Liveness alive_;
};

}  // namespace quellor
