// Controls addressed by route id: how a value from a MIDI control, a numbered OSC control, an OSC
// volume message or a strip fader command reaches the volume, cue or application that its route id
// names, and the mute, cue and solo buttons of a strip (the console's strip buttons and the remote
// strip commands share them).

#include "audio/AudioProcessMonitor.h"
#include "audio/SystemVolumeController.h"
#include "audio/VolumeControlling.h"
#include "engine/MixerEngine.h"
#include "engine/RouteID.h"

namespace quellor {

std::optional<AudioApp> MixerEngine::runningApp(const QString& bundleID) const {
    for (const AudioApp& app : processMonitor_->apps())
        if (app.bundleID == bundleID) return app;
    return std::nullopt;
}

bool MixerEngine::setControllerVolume(const RouteID& route, float value) {
    switch (route.kind) {
    case RouteID::Kind::OutputVolume:
        systemVolume_->setVolume(value);
        return true;
    case RouteID::Kind::InputVolume:
        inputVolume_->setVolume(value);
        return true;
    case RouteID::Kind::PhonesBus:
        if (VolumeControlling* phones = activePhonesVolume()) phones->setVolume(value);
        return true;
    case RouteID::Kind::Device:
        if (VolumeControlling* device = volumeControl(route.target)) device->setVolume(value);
        return true;
    default:
        return false;
    }
}

void MixerEngine::storeVolumeOfAbsentApp(const QString& bundleID, AppVolume entry, float value) {
    entry.volume = value;
    storeEntry(bundleID, entry);
    scheduleSave();
}

void MixerEngine::performRouteAction(const QString& id, float value) {
    const RouteID route = RouteID::parse(id);
    if (route.kind == RouteID::Kind::Record) {
        // A button: a press starts or stops the recording, a release does nothing.
        if (value >= 0.5f) toggleRecording();
        return;
    }
    if (route.kind == RouteID::Kind::Cue) {
        // A button: a press toggles, a release does nothing.
        if (!(value >= 0.5f)) return;
        auto it = volumes_.find(route.target);
        setCue(!(it != volumes_.end() && it->second.isCued), route.target);
        return;
    }
    if (setControllerVolume(route, value)) return;
    auto it = volumes_.find(id);
    const AppVolume entry = it == volumes_.end() ? AppVolume{} : it->second;
    if (auto app = runningApp(id)) {
        // The fader of a cued application moves its level on PHONES.
        if (entry.isCued) setCueVolume(value, id);
        else setVolume(value, *app);
        return;
    }
    // Not running: remembered for when it plays.
    storeVolumeOfAbsentApp(id, entry, value);
}

void MixerEngine::setRouteVolume(const QString& id, float value) {
    if (setControllerVolume(RouteID::parse(id), value)) return;
    if (auto app = runningApp(id)) {
        setVolume(value, *app);
        return;
    }
    // Only an application the mix already knows is remembered.
    auto it = volumes_.find(id);
    if (it != volumes_.end()) storeVolumeOfAbsentApp(id, it->second, value);
}

// --- Strip buttons -------------------------------------------------------------------------------

void MixerEngine::toggleRouteMute(const QString& id) {
    if (id == RouteID::kPhonesBus) {
        VolumeControlling* phones = activePhonesVolume();
        if (phones && phones->canMute()) phones->toggleMute();
        return;
    }
    // Only applications: the other buses and devices have their own mute.
    if (auto app = runningApp(id)) toggleMute(*app);
}

void MixerEngine::toggleRouteCue(const QString& id) {
    auto it = volumes_.find(id);
    const bool isCued = it != volumes_.end() && it->second.isCued;
    if (runningApp(id)) {
        // A cue cannot be switched on without a PHONES pair.
        if (hasPhonesBus() || isCued) setCue(!isCued, id);
        return;
    }
    // A stale cue of an application that has gone can always be cleared.
    if (isCued) setCue(false, id);
}

void MixerEngine::toggleRouteSolo(const QString& id) {
    if (runningApp(id)) applySolo(soloed_.count(id) == 0, id);
}

}  // namespace quellor
