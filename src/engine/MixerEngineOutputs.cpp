// The output side: the MAIN device, where the MAIN and PHONES pairs lie, the volume controllers of
// explicitly used devices, routing to a freshly connected Bluetooth device, the output latency
// estimate and the one-shot TotalMix routing write.

#include "audio/AudioDeviceMonitor.h"
#include "audio/BluetoothAudioMonitor.h"
#include "audio/DeviceVolumeController.h"
#include "audio/HALError.h"
#include "audio/HALProperties.h"
#include "audio/PhonesBusVolumeController.h"
#include "base/JsonDefaults.h"
#include "base/Logger.h"
#include "engine/MixerEngine.h"
#include "platform/AudioConstants.h"

namespace quellor {

namespace {

const Logger log("MixerEngine");
constexpr int kBluetoothAttempts = 16;
constexpr double kBluetoothPollInterval = 0.3;
constexpr double kTotalMixInterval = 0.08;

}  // namespace

std::optional<AudioDevice> MixerEngine::currentOutputDevice() const {
    const std::uint32_t id = deviceMonitor_->defaultDeviceID();
    for (const AudioDevice& device : deviceMonitor_->devices())
        if (device.id == id) return device;
    return std::nullopt;
}

void MixerEngine::setDefaultOutput(const AudioDevice& device) {
    deviceMonitor_->setDefaultDevice(device);
    companion_.sendAppList();
}

std::optional<BusLayout> MixerEngine::busLayout(const AudioDevice& device) const {
    BusPairing proposal{0, 2};
    if (auto it = busPairings_.find(device.uid); it != busPairings_.end()) proposal = it->second;
    return proposal.layoutOn(device.outputChannels);
}

bool MixerEngine::hasPhonesBus() const {
    auto device = currentOutputDevice();
    return device && busLayout(*device).has_value();
}

VolumeControlling* MixerEngine::activePhonesVolume() const {
    return hasPhonesBus() ? phonesBusVolume_.get() : nullptr;
}

float MixerEngine::phonesBusGain() const { return phonesBusVolume_->effectiveGain(); }

void MixerEngine::setBusPairing(const BusPairing& pairing, const QString& deviceUID) {
    auto it = busPairings_.find(deviceUID);
    if (it == busPairings_.end() || !(it->second == pairing)) {
        busPairings_[deviceUID] = pairing;
        emit busPairingsChanged();
    }
    JsonDefaults::save(busPairings_, QStringLiteral("busPairings"), defaults_);
    // A tap takes its pairs when it starts, so the taps on this device start again with the new
    // choice.
    taps_.restartOn(deviceUID);
}

void MixerEngine::syncRouteVolumes() {
    std::set<QString> wanted;
    for (const auto& [bundleID, entry] : volumes_)
        for (const QString& uid : entry.outputDeviceUIDs)
            if (deviceName(uid)) wanted.insert(uid);
    for (auto it = routeVolumes_.begin(); it != routeVolumes_.end();) {
        if (wanted.count(it->first)) ++it;
        else it = routeVolumes_.erase(it);
    }
    // A device unplugged and plugged in again comes back as a new object under the same UID: its
    // controller follows the object, or its writes would go to one that is gone.
    for (const QString& uid : wanted) {
        for (const AudioDevice& device : deviceMonitor_->devices())
            if (device.uid == uid) {
                auto& controller = routeVolumes_[uid];
                if (controller) controller->bindTo(device.id);
                else controller = std::make_unique<DeviceVolumeController>(device.id);
                break;
            }
    }
}

std::optional<QString> MixerEngine::deviceName(const QString& uid) const {
    for (const AudioDevice& device : deviceMonitor_->devices())
        if (device.uid == uid) return device.name;
    return std::nullopt;
}

VolumeControlling* MixerEngine::volumeControl(const QString& deviceUID) const {
    auto it = routeVolumes_.find(deviceUID);
    return it == routeVolumes_.end() ? nullptr : it->second.get();
}

std::optional<BluetoothAudioDevice> MixerEngine::bluetoothDevice(const AudioDevice& device) const {
    for (const BluetoothAudioDevice& paired : bluetooth_->paired())
        if (paired.ownsAudioDeviceUID(device.uid)) return paired;
    return std::nullopt;
}

void MixerEngine::connectBluetoothDevice(const BluetoothAudioDevice& device) {
    bluetooth_->connect(device, alive_.guard([this](const BluetoothAudioDevice& connected) {
        routeToBluetoothDevice(connected);
    }));
}

void MixerEngine::routeToBluetoothDevice(const BluetoothAudioDevice& device) {
    routingTask_.set(Scheduler::current().post(
        alive_.guard([this, id = device.id] { bluetoothRoutingAttempt(id, 0); })));
}

void MixerEngine::bluetoothRoutingAttempt(QString bluetoothID, int attempt) {
    routingTask_.clear();
    deviceMonitor_->refresh();
    const BluetoothAudioDevice connected{bluetoothID, {}, true, 0};
    for (const AudioDevice& device : deviceMonitor_->devices())
        if (connected.ownsAudioDeviceUID(device.uid)) {
            deviceMonitor_->setDefaultDevice(device);
            return;
        }
    if (attempt + 1 >= kBluetoothAttempts) return;
    routingTask_.set(Scheduler::current().after(kBluetoothPollInterval, alive_.guard([this, bluetoothID, attempt] {
        bluetoothRoutingAttempt(bluetoothID, attempt + 1);
    })));
}

std::optional<double> MixerEngine::readOutputLatency(int bufferFrames) const {
    const auto device = currentOutputDevice();
    if (!device) return std::nullopt;
    auto read32 = [&](std::uint32_t selector, std::uint32_t scope, std::uint32_t fallback) {
        try {
            std::uint32_t value = 0;
            readHALProperty32(selector, scope, value, device->id);
            return value;
        } catch (const HALError&) {
            return fallback;
        }
    };
    const std::uint32_t safety = read32(hal::kSafetyOffset, hal::kScopeOutput, 0);
    const std::uint32_t latency = read32(hal::kLatency, hal::kScopeOutput, 0);
    double rate = 48000;
    try {
        readHALProperty64(hal::kNominalSampleRate, hal::kScopeGlobal, rate, device->id);
    } catch (const HALError&) {
    }
    if (!(rate > 0)) return std::nullopt;
    const double frames = bufferFrames > 0 ? bufferFrames : read32(hal::kBufferFrameSize, hal::kScopeGlobal, 512);
    return (frames + safety + latency) / rate * 1000.0;
}

void MixerEngine::writeTotalMixDefaultRouting() {
    if (totalMixWriteTask_.pending() || !remote_) return;
    const auto device = currentOutputDevice();
    if (!device) return;
    const auto layout = busLayout(*device);
    if (!layout) return;
    auto commands = remote_->totalMixDefaultRouting(layout->mainOffset, layout->phonesOffset);
    log.info("Writing TotalMix default routing (%ld messages)", long(commands.size()));
    if (commands.empty()) return;
    totalMixWriteTask_.set(Scheduler::current().post(
        alive_.guard([this, commands = std::move(commands)] { totalMixSendStep(commands, 0); })));
}

void MixerEngine::totalMixSendStep(std::vector<RemoteLink::TotalMixCommand> commands, std::size_t index) {
    const auto& command = commands[index];
    remote_->sendFloat(totalMixHost_, totalMixPort_, command.path, command.value);
    // The write counts as running until the pause after the last message has passed.
    totalMixWriteTask_.set(Scheduler::current().after(
        kTotalMixInterval, alive_.guard([this, commands = std::move(commands), index] {
            if (index + 1 < commands.size()) totalMixSendStep(commands, index + 1);
            else totalMixWriteTask_.clear();
        })));
}

}  // namespace quellor
