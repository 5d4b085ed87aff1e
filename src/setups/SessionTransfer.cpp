#include "setups/SessionTransfer.h"

#include <algorithm>

namespace quellor {

namespace {
constexpr int kFullSlotCount = 16;
constexpr int kNarrowSlotCount = 8;
}  // namespace

MixSession captureSession(const SessionEngine& engine, const MixSession& base, const QDateTime& now) {
    MixSession session = base;
    session.volumes = engine.volumes();
    auto device = engine.currentOutputDevice();
    session.mainDeviceUID = device ? std::optional<QString>(device->uid) : std::nullopt;
    session.mainLevel = engine.mainLevel();
    session.phonesLevel = engine.phonesLevel();
    session.stripSlots = engine.consoleSlots();
    session.styles = engine.stripStyles();
    session.modifiedAt = now;
    return session;
}

void applySession(SessionEngine& engine, const MixSession& session) {
    engine.setVolumes(session.volumes);
    engine.scheduleSave();

    if (session.mainDeviceUID) {
        const auto devices = engine.outputDevices();
        auto found = std::find_if(devices.begin(), devices.end(),
                                  [&](const auto& d) { return d.uid == *session.mainDeviceUID; });
        auto current = engine.currentOutputDevice();
        if (found != devices.end() && (!current || current->id != found->id)) {
            engine.setDefaultOutputDevice(found->id);
            engine.sendAppList();
        }
    }

    engine.restartMismatchedTaps();
    for (const QString& bundleID : engine.liveTapBundleIDs()) {
        auto it = session.volumes.find(bundleID);
        const AppVolume record = it != session.volumes.end() ? it->second : AppVolume{};
        // With explicit outputs (and no cue) the devices' volumes are the level, so the tap plays
        // at full level. The mute holds either way, as it does for every edit and tap build in
        // the engine: a muted application must not become audible by opening a setup.
        const bool fullLevel = !record.outputDeviceUIDs.isEmpty() && !record.isCued;
        engine.setTapMix(bundleID, fullLevel ? 1.0f : record.volume, record.isMuted, record.cueVolume);
    }
    engine.applyCueModes();

    if (session.mainLevel) engine.setMainLevel(*session.mainLevel);
    if (session.phonesLevel && engine.phonesLevel()) engine.setPhonesLevel(*session.phonesLevel);

    engine.setStripStyles(session.styles.value_or(StripStyleMap{}));

    const auto count = session.stripSlots.size();
    if (count == kNarrowSlotCount || count == kFullSlotCount) {
        for (int index = 0; index < kFullSlotCount; ++index)
            engine.setSlot(index < count ? session.stripSlots[index] : QString(), index);
    }

    engine.sendAppList();
}

}  // namespace quellor
