// Panic and solo: which taps play silence, and what the tap set keeps while they hold.

#include "base/Logger.h"
#include "engine/MixerEngine.h"

namespace quellor {

namespace {

const Logger log("MixerEngine");

}  // namespace

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

}  // namespace quellor
