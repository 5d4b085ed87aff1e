// The remote-control codes and listener, and the application list as the companion gets it.

#include "audio/AudioProcessMonitor.h"
#include "audio/SystemVolumeController.h"
#include "audio/VolumeControlling.h"
#include "engine/MixerAppState.h"
#include "engine/MixerEngine.h"

namespace quellor {

void MixerEngine::regeneratePairingPIN() {
    if (!remote_) return;
    remote_->setListenerPairingPIN(remote_->regeneratePairingPIN());
    companion_.forget();
}

void MixerEngine::regenerateControlPassword() {
    if (!remote_) return;
    remote_->setListenerControlPassword(remote_->regenerateControlPassword());
}

void MixerEngine::restartOSCListener() {
    if (remote_) remote_->restartOSCListener();
}

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
