// Keeping the set of live taps in step with the running applications, their mix records, the
// output devices and their sample rates; the watchdog, the capture-permission retry and the
// release of taps that are no longer needed.

#include "audio/AudioProcessMonitor.h"
#include "audio/HALError.h"
#include "audio/HALProperties.h"
#include "base/Logger.h"
#include "engine/MixerEngine.h"
#include "platform/AudioConstants.h"

namespace quellor {

namespace {

const Logger log("MixerEngine");
constexpr double kWatchdogInterval = 2.0;
constexpr double kCoverageDropDelay = 0.3;
// Delays before each capture-permission retry: 1, 3, 7 and 15 s after the failure.
constexpr double kRetryDelays[] = {1.0, 2.0, 4.0, 8.0};

}  // namespace

void MixerEngine::removeTap(const QString& bundleID) {
    auto it = taps_.find(bundleID);
    if (it == taps_.end()) return;
    auto tap = std::move(it->second);
    taps_.erase(it);
    tap->stop();
}

void MixerEngine::stopAndClearTaps() {
    auto taps = std::move(taps_);
    taps_.clear();
    for (auto& [bundleID, tap] : taps) tap->stop();
}

bool MixerEngine::needsFullCoverage() const {
    return hasPhonesBus() || isPanicked_ || isRecording_ || isAutoRec_ || !soloed_.empty() ||
           isAnyAppCued();
}

void MixerEngine::rebuildTaps() {
    if (isShutDown_) return;
    // One application per bundle identifier: of two running copies, the lowest process id.
    std::map<QString, AudioApp> running;
    for (const AudioApp& app : processMonitor_->apps()) {
        auto it = running.find(app.bundleID);
        if (it == running.end() || app.id < it->second.id) running[app.bundleID] = app;
    }

    std::vector<QString> stale;
    for (const auto& [bundleID, tap] : taps_) {
        auto it = running.find(bundleID);
        if (it == running.end() || it->second.objectIDs != tap->processObjectIDs()) stale.push_back(bundleID);
    }
    for (const QString& bundleID : stale) removeTap(bundleID);

    const bool everyPlayingApp = needsFullCoverage();
    for (const AudioApp& app : processMonitor_->apps()) {
        if (taps_.count(app.bundleID) || running[app.bundleID].id != app.id) continue;
        auto it = volumes_.find(app.bundleID);
        const AppVolume entry = it == volumes_.end() ? AppVolume{} : it->second;
        if (!entry.isDefault() || (app.isPlaying && everyPlayingApp)) applyTapRouting(app, entry);
    }

    // Every change of the default output or of the device list comes through here: taps that were
    // kept may have moved onto or off the MAIN device.
    updateRecordsToMain();
    syncRouteVolumes();
    installRateListeners();
    sendAppList();
}

bool MixerEngine::sampleRateChanged(const ProcessTap& tap) const {
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

void MixerEngine::restartMismatchedTaps() {
    if (isShutDown_) return;
    std::vector<QString> mismatched;
    for (const auto& [bundleID, tap] : taps_) {
        auto it = volumes_.find(bundleID);
        const AppVolume entry = it == volumes_.end() ? AppVolume{} : it->second;
        bool restart = false;
        try {
            restart = resolveOutputs(entry) != tap->activatedOutputs() || !tap->isAggregateAlive() ||
                      sampleRateChanged(*tap);
        } catch (const HALError&) {
            restart = true;
        }
        if (restart) mismatched.push_back(bundleID);
    }
    for (const QString& bundleID : mismatched) removeTap(bundleID);
    rebuildTaps();
}

void MixerEngine::restartAllTaps() {
    if (isShutDown_) return;
    stopAndClearTaps();
    rebuildTaps();
}

void MixerEngine::startWatchdog() {
    watchdogTimer_.set(Scheduler::current().every(kWatchdogInterval, alive_.guard([this] { watchdogPass(); })));
}

void MixerEngine::watchdogPass() {
    if (isShutDown_) return;
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
        removeTap(bundleID);
    }
    if (!stalled.empty()) rebuildTaps();
}

void MixerEngine::schedulePermissionRetry() {
    if (isRetryingTaps_ || isShutDown_) return;
    setRetryingTaps(true);
    retryTask_.set(Scheduler::current().after(kRetryDelays[0], alive_.guard([this] { permissionRetryAttempt(0); })));
}

void MixerEngine::permissionRetryAttempt(int attempt) {
    retryTask_.clear();
    if (isShutDown_ || !needsAudioCapturePermission_) {
        setRetryingTaps(false);
        return;
    }
    setNeedsAudioCapturePermission(false);
    stopAndClearTaps();
    // A failing start inside this rebuild finds the retry still running and schedules nothing.
    rebuildTaps();
    const int next = attempt + 1;
    if (!needsAudioCapturePermission_ || next >= int(std::size(kRetryDelays))) {
        setRetryingTaps(false);
        return;
    }
    retryTask_.set(Scheduler::current().after(kRetryDelays[next],
                                              alive_.guard([this, next] { permissionRetryAttempt(next); })));
}

void MixerEngine::scheduleCoverageDrop() {
    coverageDropTask_.set(Scheduler::current().after(kCoverageDropDelay, alive_.guard([this] {
        coverageDropTask_.clear();
        if (isShutDown_ || needsFullCoverage()) return;
        std::vector<QString> drop;
        for (const auto& [bundleID, tap] : taps_) {
            auto it = volumes_.find(bundleID);
            if (it == volumes_.end() || it->second.isDefault()) drop.push_back(bundleID);
        }
        for (const QString& bundleID : drop) removeTap(bundleID);
    })));
}

}  // namespace quellor
