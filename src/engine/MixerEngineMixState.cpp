// The mix: per-application records and their edits from the strips, rows, setups and route
// actions, how an edit reaches the live tap, the debounced save of "appVolumes", cue, panic and
// solo, the console slots and strip styles, and the application list the companion gets.

#include "audio/AudioProcessMonitor.h"
#include "audio/SystemVolumeController.h"
#include "audio/VolumeControlling.h"
#include "base/JsonDefaults.h"
#include "base/Level.h"
#include "base/Logger.h"
#include "engine/MixerAppState.h"
#include "engine/MixerEngine.h"

namespace quellor {

namespace {

const Logger log("MixerEngine");

// What a live tap takes from its application's record. An application with explicit outputs and
// no cue plays at full level (the volumes of its devices are its level); cued, its fader sets the
// level as for any other. Its mute always holds.
void writeMix(ProcessTap& tap, const AppVolume& entry) {
    const bool fullLevel = !entry.outputDeviceUIDs.isEmpty() && !entry.isCued;
    tap.setVolume(fullLevel ? 1.0f : entry.volume);
    tap.setMuted(entry.isMuted);
    tap.setCueVolume(entry.cueVolume);
}

}  // namespace

AppVolume MixerEngine::appVolume(const AudioApp& app) const {
    auto it = volumes_.find(app.bundleID);
    return it == volumes_.end() ? AppVolume{} : it->second;
}

QStringList MixerEngine::outputDeviceUIDs(const AudioApp& app) const {
    auto it = volumes_.find(app.bundleID);
    return it == volumes_.end() ? QStringList{} : it->second.outputDeviceUIDs;
}

bool MixerEngine::isAnyAppCued() const {
    for (const auto& [id, entry] : volumes_)
        if (entry.isCued) return true;
    return false;
}

void MixerEngine::storeEntry(const QString& bundleID, const AppVolume& entry) {
    const AppVolume stored = entry.withLevelsClamped();
    auto it = volumes_.find(bundleID);
    if (it != volumes_.end() && it->second == stored) return;
    volumes_[bundleID] = stored;
    emit volumesChanged();
}

void MixerEngine::setVolumes(AppVolumeMap volumes) {
    for (auto& [bundleID, entry] : volumes) entry = entry.withLevelsClamped();
    if (assignIfChanged(volumes_, std::move(volumes))) emit volumesChanged();
}

void MixerEngine::setVolume(float value, const AudioApp& app) {
    AppVolume entry = appVolume(app);
    entry.volume = value;
    applyAppVolume(entry, app);
}

void MixerEngine::toggleMute(const AudioApp& app) {
    AppVolume entry = appVolume(app);
    entry.isMuted = !entry.isMuted;
    applyAppVolume(entry, app);
}

void MixerEngine::applyAppVolume(const AppVolume& requested, const AudioApp& app) {
    const AppVolume entry = requested.withLevelsClamped();
    storeEntry(app.bundleID, entry);
    scheduleSave();
    if (ProcessTap* tap = taps_.find(app.bundleID)) {
        writeMix(*tap, entry);
        return;
    }
    if (!entry.isDefault()) {
        if (auto target = tapTarget(app.bundleID)) taps_.build(*target, entry);
        else taps_.build(app, entry);
    }
}

void MixerEngine::setCueVolume(float value, const QString& bundleID) {
    auto it = volumes_.find(bundleID);
    if (it == volumes_.end()) return;
    AppVolume entry = it->second;
    entry.cueVolume = clampLevel(value);
    storeEntry(bundleID, entry);
    scheduleSave();
    if (ProcessTap* tap = taps_.find(bundleID)) tap->setCueVolume(entry.cueVolume);
}

void MixerEngine::setCue(bool on, const QString& bundleID) {
    if (on && !hasPhonesBus()) return;
    log.debug("setCue %s for %s", on ? "true" : "false", qPrintable(bundleID));
    auto it = volumes_.find(bundleID);
    AppVolume entry = it == volumes_.end() ? AppVolume{} : it->second;
    entry.isCued = on;
    storeEntry(bundleID, entry);
    scheduleSave();
    // The cue decides whether an application with explicit outputs plays at its fader or at full
    // level, so a live tap takes the new level now rather than at the next fader move.
    if (ProcessTap* tap = taps_.find(bundleID)) writeMix(*tap, entry);
    taps_.rebuild();
    taps_.applyCueModes();
    companion_.sendAppList();
}

void MixerEngine::addOutput(const AudioDevice& device, const AudioApp& app) {
    AppVolume entry = appVolume(app);
    if (entry.outputDeviceUIDs.contains(device.uid)) return;
    entry.outputDeviceUIDs.append(device.uid);
    storeEntry(app.bundleID, entry);
    scheduleSave();
    reroute(app, entry);
}

void MixerEngine::removeOutput(const QString& deviceUID, const AudioApp& app) {
    auto it = volumes_.find(app.bundleID);
    if (it == volumes_.end() || !it->second.outputDeviceUIDs.contains(deviceUID)) return;
    AppVolume entry = it->second;
    entry.outputDeviceUIDs.removeAll(deviceUID);
    commitOutputsEdit(app, entry);
}

void MixerEngine::resetOutputs(const AudioApp& app) {
    auto it = volumes_.find(app.bundleID);
    if (it == volumes_.end() || it->second.outputDeviceUIDs.isEmpty()) return;
    AppVolume entry = it->second;
    entry.outputDeviceUIDs.clear();
    commitOutputsEdit(app, entry);
}

// An output edit that leaves the record at its defaults drops it rather than storing it.
void MixerEngine::commitOutputsEdit(const AudioApp& app, const AppVolume& entry) {
    if (entry.isDefault()) {
        volumes_.erase(app.bundleID);
        emit volumesChanged();
    } else {
        storeEntry(app.bundleID, entry);
    }
    scheduleSave();
    reroute(app, entry);
}

void MixerEngine::resetToDefaults(const AudioApp& app) {
    volumes_.erase(app.bundleID);
    emit volumesChanged();
    // Saved at once; a pending debounced save still runs and writes the same map.
    saveVolumesNow();
    taps_.remove(app.bundleID);
}

void MixerEngine::reroute(const AudioApp& app, const AppVolume& entry) {
    // The aggregate device lists the outputs, so an output change always builds the tap afresh.
    taps_.remove(app.bundleID);
    if (!entry.isDefault()) {
        if (auto target = tapTarget(app.bundleID)) taps_.build(*target, entry);
        else taps_.build(app, entry);
    }
    syncRouteVolumes();
}

void MixerEngine::scheduleSave() {
    volumesSave_.request(alive_.guard([this] {
        saveVolumesNow();
        if (onMixChanged) onMixChanged();
    }));
}

void MixerEngine::saveVolumesNow() {
    store_.save(volumes_);
}

std::optional<AudioApp> MixerEngine::tapTarget(const QString& bundleID) const {
    const std::map<QString, AudioApp> running = TapSet::applications(processMonitor_->apps());
    auto it = running.find(bundleID);
    if (it == running.end()) return std::nullopt;
    return it->second;
}

// --- Panic and solo ------------------------------------------------------------------------------

bool MixerEngine::needsFullCoverage() const {
    return hasPhonesBus() || isPanicked_ || isRecording_ || isAutoRec_ || !soloed_.empty() ||
           isAnyAppCued();
}

bool MixerEngine::isSilenced(const QString& bundleID) const {
    if (isPanicked_) return true;
    return !soloed_.empty() && !soloed_.count(bundleID);
}

void MixerEngine::setPanic(bool on) {
    if (isPanicked_ == on) return;
    isPanicked_ = on;
    emit isPanickedChanged();
    log.info("Panic %s", on ? "engaged" : "released");
    if (on) {
        taps_.cancelCoverageDrop();
        taps_.rebuild();
    }
    taps_.updateSilencing();
    if (!on) taps_.scheduleCoverageDrop();
    // The companion shows the panic state.
    companion_.scheduleAppListSend();
}

void MixerEngine::applySolo(bool on, const QString& stripID) {
    const bool changed = on ? soloed_.insert(stripID).second : soloed_.erase(stripID) > 0;
    if (changed) emit soloedChanged();
    if (!soloed_.empty()) {
        taps_.cancelCoverageDrop();
        taps_.rebuild();
    }
    taps_.updateSilencing();
    if (soloed_.empty()) taps_.scheduleCoverageDrop();
    companion_.sendAppList();
}

// --- Console slots and strip styles -----------------------------------------------------------

void MixerEngine::loadConsoleSlots() {
    QStringList loaded;
    auto stored = defaults_.stringArrayValue(QStringLiteral("consoleSlots"));
    if (stored && stored->size() == kSlotCount) {
        loaded = *stored;
    } else if (stored && stored->size() == 8) {
        loaded = *stored;
        for (int i = 0; i < 8; ++i) loaded.append(QString());
    } else {
        loaded = defaultConsoleSlots();
    }
    if (assignIfChanged(slots_, loaded)) emit slotsChanged();
}

void MixerEngine::setSlot(const QString& id, int index) {
    if (index < 0 || index >= slots_.size() || slots_[index] == id) return;
    slots_[index] = id;
    emit slotsChanged();
    defaults_.setStringArray(QStringLiteral("consoleSlots"), slots_);
    if (onMixChanged) onMixChanged();
    companion_.sendAppList();
}

void MixerEngine::setStripStyles(StripStyleMap styles) {
    if (assignIfChanged(stripStyles_, std::move(styles))) emit stripStylesChanged();
    saveStripStyles();
}

void MixerEngine::saveStripStyles() {
    JsonDefaults::save(stripStyles_, QStringLiteral("stripStyles"), defaults_);
    if (onMixChanged) onMixChanged();
}

// --- The application list as the companion gets it -----------------------------------------------

MixerAppState MixerEngine::appState() const {
    MixerAppState::Sources sources;
    sources.outputVolume = systemVolume_->volume();
    sources.inputVolume = inputVolume_->volume();
    sources.hasOutputDevice = currentOutputDevice().has_value();
    if (VolumeControlling* phones = activePhonesVolume()) sources.phonesVolume = phones->volume();
    for (const AudioApp& app : processMonitor_->apps()) sources.apps.push_back({app.bundleID, app.name});
    sources.volumes = &volumes_;
    sources.consoleSlots = slots_;
    sources.isPanicked = isPanicked_;
    return MixerAppState::make(sources);
}

}  // namespace quellor
