#pragma once
// What setups need of the mixing engine: its per-application records, the output devices, the
// MAIN and PHONES levels, the live taps, the console slots and strip styles, and the push of the
// application list to the companion. captureSession and applySession (SessionTransfer.h) are
// written against this, and the setup manager holds one; the application hands it an adapter over
// the engine, tests a fake.
//
// Threads: main thread only, like the engine behind it.

#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>
#include <vector>

#include "engine/AppVolume.h"
#include "engine/StripStyle.h"

namespace quellor {

class SessionEngine {
public:
    struct OutputDevice {
        std::uint32_t id = 0;  // hardware object id
        QString uid;
    };

    virtual ~SessionEngine() = default;

    // Per-application records. setVolumes replaces the whole map (no save, no tap touched);
    // scheduleSave starts the engine's debounced save, which then reports a mix change.
    virtual AppVolumeMap volumes() const = 0;
    virtual void setVolumes(const AppVolumeMap& volumes) = 0;
    virtual void scheduleSave() = 0;

    // The output devices in the device monitor's order, the current default output and the way
    // to make another device the system default output.
    virtual std::vector<OutputDevice> outputDevices() const = 0;
    virtual std::optional<OutputDevice> currentOutputDevice() const = 0;
    virtual void setDefaultOutputDevice(std::uint32_t deviceID) = 0;

    // The system output volume, and the PHONES bus volume while the current output has a PHONES
    // pair (nothing otherwise; setting it then does nothing).
    virtual float mainLevel() const = 0;
    virtual void setMainLevel(float level) = 0;
    virtual std::optional<float> phonesLevel() const = 0;
    virtual void setPhonesLevel(float level) = 0;

    // Live taps: restart those whose outputs or sample rate no longer match, list them by bundle
    // identifier, write one tap's volume, mute and cue level, and re-derive every tap's cue mode.
    virtual void restartMismatchedTaps() = 0;
    virtual QStringList liveTapBundleIDs() const = 0;
    virtual void setTapMix(const QString& bundleID, float volume, bool isMuted, float cueVolume) = 0;
    virtual void applyCueModes() = 0;

    // Console strips. setSlot ignores an index outside the list and an unchanged slot; it stores
    // and reports every change. setStripStyles stores and reports on every call.
    virtual QStringList consoleSlots() const = 0;
    virtual void setSlot(const QString& id, int index) = 0;
    virtual StripStyleMap stripStyles() const = 0;
    virtual void setStripStyles(const StripStyleMap& styles) = 0;

    // Pushes "/app/list" to the companion.
    virtual void sendAppList() = 0;
};

}  // namespace quellor
