// Turning one application's mix record into a started tap, the cue modes and silencing of live
// taps, and the panic and solo actions.

#include "audio/AudioDeviceMonitor.h"
#include "audio/HALError.h"
#include "audio/HALProperties.h"
#include "audio/PhonesBusVolumeController.h"
#include "base/Level.h"
#include "base/Logger.h"
#include "engine/MainRecorder.h"
#include "engine/MixerEngine.h"
#include "platform/AudioConstants.h"

namespace quellor {

namespace {

const Logger log("MixerEngine");

constexpr std::uint32_t kTransportBluetoothLE = fourCC("blea");

bool isBluetooth(std::uint32_t transport) {
    return transport == hal::kTransportBluetooth || transport == kTransportBluetoothLE;
}

// Flags in the check lines read as words, like every other diagnostic line of the system.
const char* flagText(bool value) { return value ? "true" : "false"; }

}  // namespace

std::vector<ProcessTap::Output> MixerEngine::resolveOutputs(const AppVolume& entry) const {
    const auto& devices = deviceMonitor_->devices();
    std::vector<const AudioDevice*> found;
    for (const QString& uid : entry.outputDeviceUIDs) {
        auto it = std::find_if(devices.begin(), devices.end(),
                               [&](const AudioDevice& d) { return d.uid == uid; });
        if (it != devices.end()) found.push_back(&*it);
    }
    std::vector<ProcessTap::Output> outputs;
    if (!found.empty()) {
        // A wired device keeps the clock; Bluetooth leads only when there is nothing else.
        const AudioDevice* primary = found.front();
        for (const AudioDevice* d : found)
            if (!isBluetooth(d->transport)) {
                primary = d;
                break;
            }
        outputs.push_back({primary->uid, primary->id});
        for (const AudioDevice* d : found)
            if (d->uid != primary->uid) outputs.push_back({d->uid, d->id});
        return outputs;
    }
    std::uint32_t deviceID = 0;
    readHALProperty32(hal::kDefaultOutputDevice, hal::kScopeGlobal, deviceID, hal::kSystemObject);
    const QString uid = stringProperty(deviceID, hal::kDeviceUID);
    outputs.push_back({uid, deviceID});
    return outputs;
}

float MixerEngine::tapGain(bool hasExplicitOutputs, const AppVolume& entry) {
    return cubedLevel(hasExplicitOutputs && !entry.isCued ? 1.0f : entry.volume);
}

bool MixerEngine::isSilenced(const QString& bundleID) const {
    if (isPanicked_) return true;
    return !soloed_.empty() && !soloed_.count(bundleID);
}

void MixerEngine::applyTapRouting(const AudioApp& app, const AppVolume& entry) {
    if (isShutDown_ || app.objectIDs.empty()) return;

    std::vector<ProcessTap::Output> outputs;
    try {
        outputs = resolveOutputs(entry);
    } catch (const HALError& error) {
        log.error("Default device read failed: %s", qPrintable(error.description()));
        return;
    }

    // With explicit outputs (and no cue) the devices' own volumes are the level, so the tap plays
    // at full level; the application's mute holds either way.
    const bool explicitOutputs = !entry.outputDeviceUIDs.isEmpty();
    const bool fullLevel = explicitOutputs && !entry.isCued;
    auto tap = std::make_shared<ProcessTap>(fullLevel ? 1.0f : entry.volume, entry.cueVolume,
                                            app.objectIDs, entry.isMuted, nullptr);
    if (recorder_) tap->setMainLane(&recorder_->mainLane());
    tap->setRecordPre(recordsPreFader());
    tap->setPhonesMode(!isAnyAppCued() ? PhonesMode::MirrorsMain
                                       : (entry.isCued ? PhonesMode::CueLevel : PhonesMode::Silent));
    tap->setPanicked(isSilenced(app.bundleID));
    tap->setRecordsToMain(playsOnMain(outputs));
    tap->setPhonesBusGain(phonesBusVolume_->effectiveGain());

    const auto& devices = deviceMonitor_->devices();
    auto firstDevice = std::find_if(devices.begin(), devices.end(),
                                    [&](const AudioDevice& d) { return d.uid == outputs.front().uid; });
    std::optional<BusLayout> layout;
    if (outputs.size() == 1 && firstDevice != devices.end()) layout = busLayout(*firstDevice);

    log.notice("PAIRCHK outputs=%ld deviceFound=%s ch=%ld pairing=%s", long(outputs.size()),
               flagText(firstDevice != devices.end()),
               firstDevice != devices.end() ? long(firstDevice->outputChannels) : -1L, flagText(layout.has_value()));

    try {
        tap->start(outputs, layout);
    } catch (const HALError& error) {
        log.error("Tap failed for %s: %s", qPrintable(app.bundleID), qPrintable(error.description()));
        setNeedsAudioCapturePermission(true);
        schedulePermissionRetry();
        return;  // the tap tears down what it had created when it goes
    }

    float deviceScalar = -1.0f;
    try {
        readHALProperty32(hal::kVolumeScalar, hal::kScopeOutput, deviceScalar, outputs.front().id);
    } catch (const HALError&) {
    }
    log.notice("LEVELCHK app=%s pos=%f gain=%f paired=%s phonesBusGain=%f deviceScalar=%f device=%s",
               qPrintable(app.bundleID), double(entry.volume), double(tapGain(explicitOutputs, entry)),
               flagText(layout.has_value()), double(phonesBusVolume_->effectiveGain()), double(deviceScalar),
               qPrintable(outputs.front().uid));

    auto old = taps_.find(app.bundleID);
    if (old != taps_.end()) old->second->stop();
    taps_[app.bundleID] = std::move(tap);
    setNeedsAudioCapturePermission(false);
    // A tap built by an edit follows the rate of its device like one built by a rebuild.
    installRateListeners();
}

void MixerEngine::applyCueModes() {
    const bool anyCued = isAnyAppCued();
    for (auto& [bundleID, tap] : taps_) {
        auto it = volumes_.find(bundleID);
        const bool cued = it != volumes_.end() && it->second.isCued;
        tap->setPhonesMode(!anyCued ? PhonesMode::MirrorsMain : (cued ? PhonesMode::CueLevel : PhonesMode::Silent));
    }
    coverageDropTask_.cancel();
    if (!anyCued) scheduleCoverageDrop();
}

bool MixerEngine::playsOnMain(const std::vector<ProcessTap::Output>& outputs) const {
    const auto current = currentOutputDevice();
    return current && !outputs.empty() && outputs.front().uid == current->uid;
}

void MixerEngine::updateRecordsToMain() {
    for (auto& [bundleID, tap] : taps_) tap->setRecordsToMain(playsOnMain(tap->activatedOutputs()));
}

void MixerEngine::updateSilencing() {
    for (auto& [bundleID, tap] : taps_) tap->setPanicked(isSilenced(bundleID));
}

void MixerEngine::setPanic(bool on) {
    if (isPanicked_ == on) return;
    isPanicked_ = on;
    emit isPanickedChanged();
    log.info("Panic %s", on ? "engaged" : "released");
    if (on) {
        coverageDropTask_.cancel();
        rebuildTaps();
    }
    updateSilencing();
    if (!on) scheduleCoverageDrop();
    // The companion shows the panic state.
    scheduleAppListSend();
}

void MixerEngine::applySolo(bool on, const QString& stripID) {
    const bool changed = on ? soloed_.insert(stripID).second : soloed_.erase(stripID) > 0;
    if (changed) emit soloedChanged();
    if (!soloed_.empty()) {
        coverageDropTask_.cancel();
        rebuildTaps();
    }
    updateSilencing();
    if (soloed_.empty()) scheduleCoverageDrop();
    sendAppList();
}

}  // namespace quellor
