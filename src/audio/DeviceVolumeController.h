#pragma once
// The hardware volume and mute of one output device. The engine keeps one per output device,
// keyed by UID, and hands it out as a VolumeControlling. Writes go through the shared device
// write queue; setVolume() shows the new level at once and submits a write even when the level
// is unchanged.
//
// Threads: main thread only.

#include "audio/HardwareVolumeControl.h"

namespace quellor {

class DeviceVolumeController : public HardwareVolumeControl {
    Q_OBJECT
public:
    // `queue` defaults to the write queue shared by every device controller.
    explicit DeviceVolumeController(AudioObjectID deviceID, VolumeWriteQueue* queue = nullptr,
                                    QObject* parent = nullptr);

    // Follows the device object now behind the controller's device (the device went and came back
    // under the same UID with a new id): listens to it, writes to it and reads it from now on.
    void bindTo(AudioObjectID deviceID);

    void setVolume(float value) override;
    // A synchronous write of the opposite mute; a failure re-reads the device.
    void toggleMute() override;
    void refresh() override;
};

}  // namespace quellor
