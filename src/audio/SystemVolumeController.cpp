#include "audio/SystemVolumeController.h"

#include "audio/HALProperties.h"
#include "audio/MainThreadListener.h"
#include "audio/VolumeWriteQueue.h"
#include "base/Level.h"
#include "base/Observable.h"

namespace quellor {

SystemVolumeController::SystemVolumeController(AudioDirection direction, VolumeWriteQueue* queue, QObject* parent)
    : HardwareVolumeControl({0, streamScope(direction)}, queue ? *queue : VolumeWriteQueue::system(), parent),
      direction_(direction) {}

void SystemVolumeController::start() {
    defaultDeviceListener_ = listenOnMainThread(hal::kSystemObject, defaultDeviceSelector(direction_),
                                                hal::kScopeGlobal, alive_, [this] { rebindDefaultDevice(); });
    rebindDefaultDevice();
}

void SystemVolumeController::rebindDefaultDevice() {
    std::uint32_t device = 0;
    try {
        readHALProperty32(defaultDeviceSelector(direction_), hal::kScopeGlobal, device, hal::kSystemObject);
    } catch (const HALError&) {
        return;
    }
    if (device == 0) return;
    QString name;
    try {
        name = stringProperty(device, hal::kName);
    } catch (const HALError&) {
    }
    if (assignIfChanged(deviceName_, name)) emit deviceNameChanged();
    bindDevice(device);
    refresh();
}

void SystemVolumeController::refresh() {
    if (isWriting()) return;
    if (readDevice()) volumeDidChange();
}

void SystemVolumeController::setVolume(float value) {
    float clamped = clampLevel(value);
    if (clamped != volume()) {
        storeVolume(clamped);
        volumeDidChange();
    }
    submitWrite(clamped);
}

void SystemVolumeController::toggleMute() {
    bool before = isMuted();
    auto muted = writeToggledMute();
    if (muted && *muted != before) volumeDidChange();
}

}  // namespace quellor
