#pragma once
// The one face of every volume control: a device's hardware volume, the default device's, and the
// PHONES bus level. Users hold a VolumeControlling* and never learn which kind it is.
//
// volume is linear in fader travel, 0...1 (requests are clamped by clampLevel, base/Level.h). Each field has its change signal, emitted only when the
// value changes.
//
// Threads: main thread only.

#include <QObject>

namespace quellor {

class VolumeControlling : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    virtual float volume() const = 0;
    virtual bool isMuted() const = 0;
    // Whether setVolume() can have an effect.
    virtual bool canSetVolume() const = 0;
    // Whether the target has a mute.
    virtual bool canMute() const = 0;
    virtual void setVolume(float value) = 0;
    virtual void toggleMute() = 0;

signals:
    void volumeChanged();
    void mutedChanged();
    void canSetVolumeChanged();
    void canMuteChanged();
};

}  // namespace quellor
