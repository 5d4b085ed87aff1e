#include "audio/HardwareVolumeControl.h"

#include "audio/HALProperties.h"
#include "audio/MainThreadListener.h"
#include "audio/VolumeWriteQueue.h"
#include "base/Observable.h"

namespace quellor {

HardwareVolumeControl::HardwareVolumeControl(VolumeEndpoint endpoint, VolumeWriteQueue& queue, QObject* parent)
    : VolumeControlling(parent), endpoint_(endpoint), queue_(queue) {}

void HardwareVolumeControl::bindDevice(AudioObjectID device) {
    if (isWriting_ && device != endpoint_.deviceID) rereadAfterWrite_ = true;
    endpoint_.deviceID = device;
    if (assignIfChanged(canSetVolume_, isPropertySettable(hal::kVirtualMainVolume, endpoint_.scope, device)))
        emit canSetVolumeChanged();
    if (assignIfChanged(canMute_, isPropertySettable(hal::kMute, endpoint_.scope, device))) emit canMuteChanged();

    // Replacing the listeners removes those of the previous device.
    listeners_.clear();
    for (std::uint32_t selector : {hal::kVirtualMainVolume, hal::kMute}) {
        listeners_.push_back(listenOnMainThread(device, selector, endpoint_.scope, alive_, [this] { refresh(); }));
    }
}

bool HardwareVolumeControl::readDevice() {
    bool changed = false;
    try {
        float value = 0;
        readHALProperty32(hal::kVirtualMainVolume, endpoint_.scope, value, endpoint_.deviceID);
        if (assignIfChanged(volume_, value)) {
            changed = true;
            emit volumeChanged();
        }
    } catch (const HALError&) {
    }
    try {
        std::uint32_t value = 0;
        readHALProperty32(hal::kMute, endpoint_.scope, value, endpoint_.deviceID);
        if (assignIfChanged(muted_, value != 0)) {
            changed = true;
            emit mutedChanged();
        }
    } catch (const HALError&) {
    }
    return changed;
}

void HardwareVolumeControl::storeVolume(float value) {
    if (assignIfChanged(volume_, value)) emit volumeChanged();
}

void HardwareVolumeControl::submitWrite(float clamped) {
    std::optional<bool> mute;
    bool silent = clamped <= 0.0f;
    if (canMute_ && silent != muted_) {
        muted_ = silent;
        emit mutedChanged();
        mute = silent;
    }
    std::uint64_t token = ++writeToken_;
    queue_.enqueue(endpoint_, clamped, mute,
                   alive_.guard([this, token](bool succeeded) { writeCompleted(token, succeeded); }));
    isWriting_ = true;
}

void HardwareVolumeControl::writeCompleted(std::uint64_t token, bool succeeded) {
    if (token != writeToken_) return;  // a newer write is on its way and will report itself
    isWriting_ = false;
    bool reread = !succeeded || rereadAfterWrite_;
    rereadAfterWrite_ = false;
    if (reread) refresh();
}

std::optional<bool> HardwareVolumeControl::writeToggledMute() {
    bool muted = !muted_;
    try {
        setUInt32Property(hal::kMute, endpoint_.scope, muted ? 1 : 0, endpoint_.deviceID);
    } catch (const HALError&) {
        refresh();
        return std::nullopt;
    }
    if (assignIfChanged(muted_, muted)) emit mutedChanged();
    return muted;
}

}  // namespace quellor
