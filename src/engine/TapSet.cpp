#include "engine/TapSet.h"

#include <algorithm>
#include <set>

#include "audio/AudioDeviceMonitor.h"
#include "audio/AudioProcessMonitor.h"
#include "audio/HALError.h"
#include "audio/HALListener.h"
#include "audio/HALProperties.h"
#include "base/Level.h"
#include "base/Logger.h"
#include "base/Observable.h"
#include "platform/AudioConstants.h"

namespace quellor {

namespace {

// The set's lines belong to the engine's category, where they have always been looked for.
const Logger log("MixerEngine");
constexpr double kWatchdogInterval = 2.0;
constexpr double kCoverageDropDelay = 0.3;
// Delays before each capture-permission retry: 1, 3, 7 and 15 s after the failure.
constexpr double kRetryDelays[] = {1.0, 2.0, 4.0, 8.0};

// Flags in the check lines read as words, like every other diagnostic line of the system.
const char* flagText(bool value) { return value ? "true" : "false"; }

// A tap's PHONES mode: PHONES carries the MAIN mix while nothing is cued; otherwise only the cued
// applications play there, at their cue level, and the others not at all.
PhonesMode phonesMode(bool anyCued, bool cued) {
    return !anyCued ? PhonesMode::MirrorsMain : (cued ? PhonesMode::CueLevel : PhonesMode::Silent);
}

// The gain the tap's fader stands for (reported in the level check line).
float tapGain(bool hasExplicitOutputs, const AppVolume& entry) {
    return cubedLevel(hasExplicitOutputs && !entry.isCued ? 1.0f : entry.volume);
}

}  // namespace

TapSet::TapSet(Host& host, const AudioProcessMonitor& processes, const AudioDeviceMonitor& devices)
    : host_(host), processes_(processes), devices_(devices) {}

TapSet::~TapSet() = default;

ProcessTap* TapSet::find(const QString& bundleID) const {
    auto it = taps_.find(bundleID);
    return it == taps_.end() ? nullptr : it->second.get();
}

AppVolume TapSet::entryOf(const QString& bundleID) const {
    auto it = host_.volumes().find(bundleID);
    return it == host_.volumes().end() ? AppVolume{} : it->second;
}

// --- Building one tap ----------------------------------------------------------------------------

std::vector<ProcessTap::Output> TapSet::resolveOutputs(const AppVolume& entry) const {
    const auto& devices = devices_.devices();
    std::vector<AudioDevice> found;
    for (const QString& uid : entry.outputDeviceUIDs) {
        auto it = std::find_if(devices.begin(), devices.end(),
                               [&](const AudioDevice& d) { return d.uid == uid; });
        if (it != devices.end()) found.push_back(*it);
    }
    std::vector<ProcessTap::Output> outputs;
    if (auto primary = preferredOutputDevice(found)) {
        // The leading device keeps the clock.
        outputs.push_back({primary->uid, primary->id});
        for (const AudioDevice& d : found)
            if (d.uid != primary->uid) outputs.push_back({d.uid, d.id});
        return outputs;
    }
    std::uint32_t deviceID = 0;
    readHALProperty32(hal::kDefaultOutputDevice, hal::kScopeGlobal, deviceID, hal::kSystemObject);
    const QString uid = stringProperty(deviceID, hal::kDeviceUID);
    outputs.push_back({uid, deviceID});
    return outputs;
}

void TapSet::build(const AudioApp& app, const AppVolume& entry) {
    if (isClosed_ || app.objectIDs.empty()) return;

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
    if (MixSink* lane = host_.mainLane()) tap->setMainLane(lane);
    tap->setRecordPre(host_.recordsPreFader());
    tap->setDeviceSettings(host_.tapDeviceSettings());
    tap->setPhonesMode(phonesMode(host_.isAnyAppCued(), entry.isCued));
    tap->setPanicked(host_.isSilenced(app.bundleID));
    tap->setRecordsToMain(playsOnMain(outputs));
    tap->setPhonesBusGain(host_.phonesBusGain());

    const auto& devices = devices_.devices();
    auto firstDevice = std::find_if(devices.begin(), devices.end(),
                                    [&](const AudioDevice& d) { return d.uid == outputs.front().uid; });
    std::optional<BusLayout> layout;
    if (outputs.size() == 1 && firstDevice != devices.end()) layout = host_.busLayout(*firstDevice);

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
               flagText(layout.has_value()), double(host_.phonesBusGain()), double(deviceScalar),
               qPrintable(outputs.front().uid));

    auto old = taps_.find(app.bundleID);
    if (old != taps_.end()) old->second->stop();
    taps_[app.bundleID] = std::move(tap);
    setNeedsAudioCapturePermission(false);
    // A tap built by an edit follows the rate of its device like one built by a rebuild.
    installRateListeners();
}

void TapSet::remove(const QString& bundleID) {
    auto it = taps_.find(bundleID);
    if (it == taps_.end()) return;
    auto tap = std::move(it->second);
    taps_.erase(it);
    tap->stop();
}

void TapSet::clear() {
    auto taps = std::move(taps_);
    taps_.clear();
    for (auto& [bundleID, tap] : taps) tap->stop();
}

// --- Keeping the set in step ---------------------------------------------------------------------

std::map<QString, AudioApp> TapSet::applications(const std::vector<AudioApp>& apps) {
    std::map<QString, AudioApp> merged;
    for (const AudioApp& app : apps) {
        auto [it, added] = merged.try_emplace(app.bundleID, app);
        if (added) continue;
        AudioApp& into = it->second;
        if (app.id < into.id) {
            into.id = app.id;
            into.name = app.name;
        }
        into.objectIDs.insert(into.objectIDs.end(), app.objectIDs.begin(), app.objectIDs.end());
        std::sort(into.objectIDs.begin(), into.objectIDs.end());
        into.objectIDs.erase(std::unique(into.objectIDs.begin(), into.objectIDs.end()), into.objectIDs.end());
        into.isPlaying = into.isPlaying || app.isPlaying;
        into.isRecording = into.isRecording || app.isRecording;
    }
    return merged;
}

void TapSet::rebuild() {
    if (isClosed_) return;
    std::map<QString, AudioApp> running = applications(processes_.apps());

    // A tap whose application is gone goes now; one whose copies changed is replaced by a tap of
    // all of them, which starts before the old one stops so that no copy plays on its own between.
    std::vector<QString> gone, changed;
    for (const auto& [bundleID, tap] : taps_) {
        auto it = running.find(bundleID);
        if (it == running.end()) gone.push_back(bundleID);
        else if (it->second.objectIDs != tap->processObjectIDs()) changed.push_back(bundleID);
    }
    for (const QString& bundleID : gone) remove(bundleID);

    const bool everyPlayingApp = host_.needsFullCoverage();
    for (const AudioApp& listed : processes_.apps()) {
        const AudioApp& app = running[listed.bundleID];
        const bool replaced = std::find(changed.begin(), changed.end(), app.bundleID) != changed.end();
        if ((taps_.count(app.bundleID) && !replaced) || app.id != listed.id) continue;
        const AppVolume entry = entryOf(app.bundleID);
        if (!entry.isDefault() || (app.isPlaying && everyPlayingApp)) build(app, entry);
    }
    for (const QString& bundleID : changed)
        if (const ProcessTap* tap = find(bundleID); tap && tap->processObjectIDs() != running[bundleID].objectIDs)
            remove(bundleID);

    // Every change of the default output or of the device list comes through here: taps that were
    // kept may have moved onto or off the MAIN device.
    updateRecordsToMain();
    host_.tapsRebuilt();
    installRateListeners();
}

bool TapSet::sampleRateChanged(const ProcessTap& tap) const {
    const double activated = tap.activatedSampleRate();
    if (activated <= 0 || tap.activatedOutputs().empty()) return false;
    try {
        double rate = 0;
        readHALProperty64(hal::kNominalSampleRate, hal::kScopeGlobal, rate, tap.activatedOutputs().front().id);
        return rate > 0 && rate != activated;
    } catch (const HALError&) {
        return false;
    }
}

void TapSet::restartMismatched() {
    if (isClosed_) return;
    std::vector<QString> mismatched;
    for (const auto& [bundleID, tap] : taps_) {
        bool restart = false;
        try {
            restart = resolveOutputs(entryOf(bundleID)) != tap->activatedOutputs() || !tap->isAggregateAlive() ||
                      sampleRateChanged(*tap);
        } catch (const HALError&) {
            restart = true;
        }
        if (restart) mismatched.push_back(bundleID);
    }
    for (const QString& bundleID : mismatched) remove(bundleID);
    rebuild();
}

void TapSet::restartAll() {
    if (isClosed_) return;
    clear();
    rebuild();
}

void TapSet::restartOn(const QString& deviceUID) {
    std::vector<QString> onDevice;
    for (const auto& [bundleID, tap] : taps_)
        for (const ProcessTap::Output& output : tap->activatedOutputs())
            if (output.uid == deviceUID) {
                onDevice.push_back(bundleID);
                break;
            }
    for (const QString& bundleID : onDevice) remove(bundleID);
    rebuild();
}

void TapSet::installRateListeners() {
    std::set<std::uint32_t> inUse;
    for (const auto& [bundleID, tap] : taps_)
        for (const ProcessTap::Output& output : tap->activatedOutputs()) inUse.insert(output.id);
    for (auto it = rateListeners_.begin(); it != rateListeners_.end();) {
        if (inUse.count(it->first)) ++it;
        else it = rateListeners_.erase(it);
    }
    for (std::uint32_t id : inUse) {
        if (rateListeners_.count(id)) continue;
        rateListeners_[id] = std::make_unique<HALListener>(
            id, PropertyAddress{hal::kNominalSampleRate, hal::kScopeGlobal, hal::kElementMain},
            [this, id, w = alive_.weak()](std::uint32_t, const PropertyAddress*) {
                Scheduler::current().post([this, id, w] {
                    if (!w.lock()) return;
                    log.notice("Nominal sample rate changed on device %u — reconciling taps", id);
                    restartMismatched();
                });
            });
    }
}

std::vector<std::uint32_t> TapSet::rateListenerDevices() const {
    std::vector<std::uint32_t> ids;
    for (const auto& [id, listener] : rateListeners_) ids.push_back(id);
    return ids;
}

// --- What every live tap takes from the host -----------------------------------------------------

bool TapSet::playsOnMain(const std::vector<ProcessTap::Output>& outputs) const {
    const auto current = host_.currentOutputDevice();
    return current && !outputs.empty() && outputs.front().uid == current->uid;
}

void TapSet::updateRecordsToMain() {
    for (auto& [bundleID, tap] : taps_) tap->setRecordsToMain(playsOnMain(tap->activatedOutputs()));
}

void TapSet::updateSilencing() {
    for (auto& [bundleID, tap] : taps_) tap->setPanicked(host_.isSilenced(bundleID));
}

void TapSet::applyCueModes() {
    const bool anyCued = host_.isAnyAppCued();
    for (auto& [bundleID, tap] : taps_) tap->setPhonesMode(phonesMode(anyCued, entryOf(bundleID).isCued));
    coverageDropTask_.cancel();
    if (!anyCued) scheduleCoverageDrop();
}

void TapSet::setPhonesBusGain(float gain) {
    for (auto& [bundleID, tap] : taps_) tap->setPhonesBusGain(gain);
}

void TapSet::setMainLane(MixSink* lane) {
    for (auto& [bundleID, tap] : taps_) tap->setMainLane(lane);
}

void TapSet::setRecordPre(bool pre) {
    for (auto& [bundleID, tap] : taps_) tap->setRecordPre(pre);
}

// --- Watchdog, permission retry, coverage drop ---------------------------------------------------

void TapSet::startWatchdog() {
    watchdogTimer_.set(Scheduler::current().every(kWatchdogInterval, alive_.guard([this] { watchdogPass(); })));
}

void TapSet::watchdogPass() {
    if (isClosed_) return;
    std::map<const ProcessTap*, SilentCount> seen;
    std::vector<QString> stalled;
    for (const auto& [bundleID, tap] : taps_) {
        int previous = 0;
        auto it = silentPasses_.find(tap.get());
        if (it != silentPasses_.end() && it->second.tap.lock() == tap) previous = it->second.passes;
        const bool silent = tap->renderCount() == 0 && tap->isProcessOutputting();
        const int passes = silent ? previous + 1 : 0;
        seen[tap.get()] = {tap, passes};
        if (passes >= 2) stalled.push_back(bundleID);
    }
    silentPasses_ = std::move(seen);
    for (const QString& bundleID : stalled) {
        log.notice("Watchdog: tap for %s never rendered while its process outputs — rebuilding",
                   qPrintable(bundleID));
        auto it = taps_.find(bundleID);
        if (it != taps_.end()) silentPasses_.erase(it->second.get());
        remove(bundleID);
    }
    if (!stalled.empty()) rebuild();
}

void TapSet::schedulePermissionRetry() {
    if (isRetrying_ || isClosed_) return;
    setRetrying(true);
    retryTask_.set(Scheduler::current().after(kRetryDelays[0], alive_.guard([this] { permissionRetryAttempt(0); })));
}

void TapSet::permissionRetryAttempt(int attempt) {
    retryTask_.clear();
    if (isClosed_ || !needsAudioCapturePermission_) {
        setRetrying(false);
        return;
    }
    setNeedsAudioCapturePermission(false);
    clear();
    // A failing start inside this rebuild finds the retry still running and schedules nothing.
    rebuild();
    const int next = attempt + 1;
    if (!needsAudioCapturePermission_ || next >= int(std::size(kRetryDelays))) {
        setRetrying(false);
        return;
    }
    retryTask_.set(Scheduler::current().after(kRetryDelays[next],
                                              alive_.guard([this, next] { permissionRetryAttempt(next); })));
}

void TapSet::scheduleCoverageDrop() {
    coverageDropTask_.set(Scheduler::current().after(kCoverageDropDelay, alive_.guard([this] {
        coverageDropTask_.clear();
        if (isClosed_ || host_.needsFullCoverage()) return;
        std::vector<QString> drop;
        for (const auto& [bundleID, tap] : taps_)
            if (entryOf(bundleID).isDefault()) drop.push_back(bundleID);
        for (const QString& bundleID : drop) remove(bundleID);
    })));
}

void TapSet::cancelCoverageDrop() { coverageDropTask_.cancel(); }

// --- Shutdown ------------------------------------------------------------------------------------

void TapSet::close() {
    isClosed_ = true;
    // No retry runs any more, so the flag the windows read says so.
    retryTask_.cancel();
    setRetrying(false);
    coverageDropTask_.cancel();
}

bool TapSet::raiseQuietTapsToFullLevel() {
    bool raised = false;
    for (auto& [bundleID, tap] : taps_) {
        if (!tap->isMuted() && tap->volume() < 0.999f) {
            tap->setVolume(1.0f);
            raised = true;
        }
    }
    return raised;
}

// --- Observable fields ---------------------------------------------------------------------------

void TapSet::setRetrying(bool value) {
    if (assignIfChanged(isRetrying_, value)) emit isRetryingChanged();
}

void TapSet::setNeedsAudioCapturePermission(bool value) {
    if (assignIfChanged(needsAudioCapturePermission_, value)) emit needsAudioCapturePermissionChanged();
}

}  // namespace quellor
