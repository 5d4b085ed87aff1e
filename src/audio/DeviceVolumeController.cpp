#include "audio/DeviceVolumeController.h"

#include "audio/VolumeWriteQueue.h"
#include "base/Level.h"

namespace quellor {

DeviceVolumeController::DeviceVolumeController(AudioObjectID deviceID, VolumeWriteQueue* queue, QObject* parent)
    : HardwareVolumeControl({deviceID, hal::kScopeOutput}, queue ? *queue : VolumeWriteQueue::shared(), parent) {
    bindDevice(deviceID);
    refresh();
}

void DeviceVolumeController::bindTo(AudioObjectID deviceID) {
    if (deviceID == endpoint_.deviceID) return;
    bindDevice(deviceID);
    refresh();
}

void DeviceVolumeController::setVolume(float value) {
    float clamped = clampLevel(value);
    storeVolume(clamped);
    submitWrite(clamped);
}

void DeviceVolumeController::toggleMute() { writeToggledMute(); }

void DeviceVolumeController::refresh() {
    if (!isWriting()) readDevice();
}

}  // namespace quellor
