#include "setups/MixerEngineSessionEngine.h"

#include "audio/AudioDeviceMonitor.h"
#include "audio/SystemVolumeController.h"
#include "audio/VolumeControlling.h"
#include "engine/MixerEngine.h"

namespace quellor {

AppVolumeMap MixerEngineSessionEngine::volumes() const { return engine_.volumes(); }

void MixerEngineSessionEngine::setVolumes(const AppVolumeMap& volumes) { engine_.setVolumes(volumes); }

void MixerEngineSessionEngine::scheduleSave() { engine_.scheduleSave(); }

std::vector<SessionEngine::OutputDevice> MixerEngineSessionEngine::outputDevices() const {
    std::vector<OutputDevice> devices;
    for (const AudioDevice& device : engine_.deviceMonitor().devices()) devices.push_back({device.id, device.uid});
    return devices;
}

std::optional<SessionEngine::OutputDevice> MixerEngineSessionEngine::currentOutputDevice() const {
    auto device = engine_.currentOutputDevice();
    if (!device) return std::nullopt;
    return OutputDevice{device->id, device->uid};
}

void MixerEngineSessionEngine::setDefaultOutputDevice(std::uint32_t deviceID) {
    AudioDeviceMonitor& monitor = engine_.deviceMonitor();
    for (const AudioDevice& device : monitor.devices()) {
        if (device.id == deviceID) {
            monitor.setDefaultDevice(device);
            return;
        }
    }
}

float MixerEngineSessionEngine::mainLevel() const { return engine_.systemVolume().volume(); }

void MixerEngineSessionEngine::setMainLevel(float level) { engine_.systemVolume().setVolume(level); }

std::optional<float> MixerEngineSessionEngine::phonesLevel() const {
    if (VolumeControlling* phones = engine_.activePhonesVolume()) return phones->volume();
    return std::nullopt;
}

void MixerEngineSessionEngine::setPhonesLevel(float level) {
    if (VolumeControlling* phones = engine_.activePhonesVolume()) phones->setVolume(level);
}

void MixerEngineSessionEngine::restartMismatchedTaps() { engine_.taps().restartMismatched(); }

QStringList MixerEngineSessionEngine::liveTapBundleIDs() const {
    QStringList ids;
    for (const auto& [bundleID, tap] : engine_.taps().live()) ids.append(bundleID);
    return ids;
}

void MixerEngineSessionEngine::setTapMix(const QString& bundleID, float volume, bool isMuted, float cueVolume) {
    ProcessTap* tap = engine_.taps().find(bundleID);
    if (!tap) return;
    tap->setVolume(volume);
    tap->setMuted(isMuted);
    tap->setCueVolume(cueVolume);
}

void MixerEngineSessionEngine::applyCueModes() { engine_.taps().applyCueModes(); }

QStringList MixerEngineSessionEngine::consoleSlots() const { return engine_.consoleSlots(); }

void MixerEngineSessionEngine::setSlot(const QString& id, int index) { engine_.setSlot(id, index); }

StripStyleMap MixerEngineSessionEngine::stripStyles() const { return engine_.stripStyles(); }

void MixerEngineSessionEngine::setStripStyles(const StripStyleMap& styles) { engine_.setStripStyles(styles); }

void MixerEngineSessionEngine::sendAppList() { engine_.companion().sendAppList(); }

}  // namespace quellor
