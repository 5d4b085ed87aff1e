#include "audio/PhonesBusVolumeController.h"

#include "base/Json.h"
#include "base/Level.h"
#include "base/Observable.h"
#include "base/UserDefaults.h"

namespace quellor {

PhonesBusVolumeController::PhonesBusVolumeController(UserDefaults& defaults, QObject* parent)
    : VolumeControlling(parent), defaults_(defaults) {
    // Taken as stored, unclamped: effectiveGain() clamps where it matters.
    volume_ = static_cast<float>(defaults.doubleOr(QLatin1String(kVolumeKey), 1.0));
    muted_ = defaults.boolOr(QLatin1String(kMutedKey), false);
}

void PhonesBusVolumeController::setVolume(float value) {
    if (assignIfChanged(volume_, clampLevel(value))) emit volumeChanged();
    defaults_.setDouble(QLatin1String(kVolumeKey), json::floatAsJson(volume_));
    if (onChange) onChange();
}

void PhonesBusVolumeController::toggleMute() {
    muted_ = !muted_;
    emit mutedChanged();
    defaults_.setBool(QLatin1String(kMutedKey), muted_);
    if (onChange) onChange();
}

float PhonesBusVolumeController::effectiveGain() const {
    return muted_ ? 0.0f : cubedLevel(volume_);
}

}  // namespace quellor
