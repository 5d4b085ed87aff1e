#pragma once
// A level slider bound to a volume control (the default output's volume, the PHONES bus level, the
// hardware volume of a device an application plays to): what the slider shows and whether it acts.
// The slider writes through the control's setVolume(); its icon toggles the mute only where the
// control has one. A control whose volume cannot be set leaves the slider disabled and faded; the
// bus cards then say why under it.
//
// Threads: main thread only (it reads the control).

#include <QString>

namespace quellor {

class VolumeControlling;

struct LevelRow {
    static constexpr double kDisabledOpacity = 0.4;
    static inline const QString kDeviceControlledNote = QStringLiteral("Volume is controlled on the device");

    float volume = 0;
    bool isMuted = false;
    bool iconTaps = false;  // the icon toggles the mute
    bool enabled = true;

    static LevelRow of(const VolumeControlling& control);

    // "speaker.slash.fill" while muted, else "speaker.wave.3.fill".
    QString icon() const;
    bool iconDimmed() const { return isMuted; }
    double opacity() const { return enabled ? 1.0 : kDisabledOpacity; }
    // The note under a bus card's slider, empty while the volume can be set.
    QString note() const { return enabled ? QString() : kDeviceControlledNote; }

    bool operator==(const LevelRow&) const = default;
};

}  // namespace quellor
