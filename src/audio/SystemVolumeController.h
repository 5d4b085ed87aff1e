#pragma once
// The hardware volume and mute of the current default device of one direction. It follows the
// default device as it changes (name, capabilities, listeners), mirrors volume and mute changes
// made elsewhere, and writes the user's changes through the write queue that the output and input
// controllers share. onVolumeChanged runs after the level or mute changed: for changes read from
// the device, for a new level set here, and for a mute toggle; not for the mute that a level of 0
// brings along.
//
// Threads: main thread only.

#include <functional>

#include "audio/AudioDirection.h"
#include "audio/HardwareVolumeControl.h"

namespace quellor {

class SystemVolumeController : public HardwareVolumeControl {
    Q_OBJECT
public:
    // `queue` defaults to the write queue shared by the two system controllers.
    explicit SystemVolumeController(AudioDirection direction, VolumeWriteQueue* queue = nullptr,
                                    QObject* parent = nullptr);

    // Follows the default device from now on and binds to the current one.
    void start();

    AudioDirection direction() const { return direction_; }
    const QString& deviceName() const { return deviceName_; }

    void setVolume(float value) override;
    void toggleMute() override;
    void refresh() override;
    // Binds to the current default device; a failed read or no default device changes nothing.
    void rebindDefaultDevice();

    std::function<void()> onVolumeChanged;

signals:
    void deviceNameChanged();

private:
    void volumeDidChange() {
        if (onVolumeChanged) onVolumeChanged();
    }

    AudioDirection direction_;
    QString deviceName_;
    std::unique_ptr<HALListener> defaultDeviceListener_;
};

}  // namespace quellor
