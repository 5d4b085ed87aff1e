#pragma once
// The level and mute of the PHONES bus: a software gain that every process tap multiplies into its
// PHONES signal, remembered across launches in "phonesBusVolume" and "phonesBusMuted". No hardware
// is touched. The engine sets onChange to push effectiveGain() into its taps.
//
// Threads: main thread only.

#include <functional>

#include "audio/VolumeControlling.h"

namespace quellor {

class UserDefaults;

class PhonesBusVolumeController : public VolumeControlling {
    Q_OBJECT
public:
    static constexpr const char* kVolumeKey = "phonesBusVolume";
    static constexpr const char* kMutedKey = "phonesBusMuted";

    // Reads both keys from `defaults`, which must outlive the controller and keeps every change.
    explicit PhonesBusVolumeController(UserDefaults& defaults, QObject* parent = nullptr);

    float volume() const override { return volume_; }
    bool isMuted() const override { return muted_; }
    bool canSetVolume() const override { return true; }
    bool canMute() const override { return true; }
    // Stores and writes the clamped level and calls onChange, also when the level is unchanged.
    void setVolume(float value) override;
    void toggleMute() override;

    // 0 when muted, else the cube of the clamped level (the fader law of the sources).
    float effectiveGain() const;

    std::function<void()> onChange;

private:
    UserDefaults& defaults_;
    float volume_ = 1.0f;
    bool muted_ = false;
};

}  // namespace quellor
