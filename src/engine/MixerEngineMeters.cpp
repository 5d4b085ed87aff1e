// The meter clock: 30 ticks a second turn the taps' peaks into decaying levels for the strips'
// meters, and every third tick feeds them to the companion as "/meters" while anything sounds.

#include "base/UserDefaults.h"
#include "engine/MeterSource.h"
#include "engine/MixerEngine.h"

namespace quellor {

namespace {

constexpr double kMeterInterval = 1.0 / 30.0;
constexpr int kTicksPerFrame = 3;

}  // namespace

void MixerEngine::startMeterTimer() {
    meterTimer_.set(Scheduler::current().every(kMeterInterval, alive_.guard([this] { meterTick(); })));
}

void MixerEngine::meterTick() {
    // Read on every tick, so a change of the setting shows on the next one.
    const bool pre = MeterSources::read(UserDefaults::standard()) == MeterSource::pre;
    std::vector<MeterLevels::Reading> readings;
    readings.reserve(taps_.live().size());
    for (auto& [bundleID, tap] : taps_.live()) {
        if (tap->meterPre() != pre) tap->setMeterPre(pre);
        readings.push_back({bundleID, tap->takePeak(), tap->takePostPeak(), tap->recordsToMain()});
    }
    MeterLevels::Levels levels = MeterLevels::next(meterLevels_, readings);
    setMeterLevels(levels);
    checkAutoRecording();

    ++meterTick_;
    if (meterTick_ % kTicksPerFrame != 0) return;
    if (!pausePhoneFeedIfSilent()) return;
    // While everything is quiet the feed stops after one all-silent frame.
    const bool silent = MeterLevels::isSilent(levels);
    if (silent && metersWereSilent_) return;
    metersWereSilent_ = silent;
    sendMeters(levels);
}

void MixerEngine::sendMeters(const MeterLevels::Levels& levels) {
    const auto to = pausePhoneFeedIfSilent();
    if (!to || !remote_) return;
    const auto text = MeterLevels::payload(levels);
    if (!text) return;
    remote_->sendCompanionText(QString::fromUtf8(*text), endpoint(*to, kCompanionPort), QStringLiteral("/meters"));
}

}  // namespace quellor
