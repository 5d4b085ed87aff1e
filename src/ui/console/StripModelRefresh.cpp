#include "ui/console/StripModelRefresh.h"

#include "audio/AudioDeviceMonitor.h"
#include "audio/AudioProcessMonitor.h"
#include "audio/PhonesBusVolumeController.h"
#include "audio/SystemVolumeController.h"
#include "engine/MixerEngine.h"
#include "remote/MIDIMappingManager.h"
#include "ui/common/ViewRefresh.h"

namespace quellor {

namespace {

void watchControl(ViewRefresh& refresh, VolumeControlling* control) {
    refresh.watch(control, &VolumeControlling::volumeChanged)
        .watch(control, &VolumeControlling::mutedChanged)
        .watch(control, &VolumeControlling::canSetVolumeChanged)
        .watch(control, &VolumeControlling::canMuteChanged);
}

void watchDevices(ViewRefresh& refresh, AudioDeviceMonitor* monitor) {
    refresh.watch(monitor, &AudioDeviceMonitor::devicesChanged).watch(monitor, &AudioDeviceMonitor::defaultDeviceIDChanged);
}

}  // namespace

void watchStripModelSources(ViewRefresh& refresh, MixerEngine& engine, MIDIMappingManager* mappings) {
    // The bus pairings decide, with the output device, whether there is a PHONES pair.
    refresh.watch(&engine, &MixerEngine::slotsChanged)
        .watch(&engine, &MixerEngine::stripStylesChanged)
        .watch(&engine, &MixerEngine::volumesChanged)
        .watch(&engine, &MixerEngine::soloedChanged)
        .watch(&engine, &MixerEngine::busPairingsChanged)
        .watch(&engine.processMonitor(), &AudioProcessMonitor::appsChanged);
    watchDevices(refresh, &engine.deviceMonitor());
    watchDevices(refresh, &engine.inputDeviceMonitor());
    watchControl(refresh, &engine.systemVolume());
    watchControl(refresh, &engine.inputVolume());
    watchControl(refresh, &engine.phonesBusVolume());
    if (mappings)
        refresh.watch(mappings, &MIDIMappingManager::mappingsChanged)
            .watch(mappings, &MIDIMappingManager::learningTargetChanged);
}

}  // namespace quellor
