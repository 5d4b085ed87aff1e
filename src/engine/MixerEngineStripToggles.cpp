// The mute, cue and solo buttons of a strip, by the route id the strip holds. The console's strip
// buttons and the remote strip commands share them.

#include "audio/VolumeControlling.h"
#include "engine/MixerEngine.h"
#include "engine/RouteID.h"

namespace quellor {

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
