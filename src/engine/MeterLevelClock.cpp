#include "engine/MeterLevelClock.h"

#include "base/Observable.h"
#include "base/UserDefaults.h"
#include "engine/CompanionFeeds.h"
#include "engine/MeterSource.h"
#include "engine/TapSet.h"

namespace quellor {

namespace {

constexpr double kMeterInterval = 1.0 / 30.0;
constexpr int kTicksPerFrame = 3;

}  // namespace

MeterLevelClock::MeterLevelClock(TapSet& taps, CompanionFeeds& companion, const UserDefaults& defaults,
                       std::function<void()> onTick)
    : taps_(taps), companion_(companion), defaults_(defaults), onTick_(std::move(onTick)) {}

void MeterLevelClock::start() {
    timer_.set(Scheduler::current().every(kMeterInterval, alive_.guard([this] { tick(); })));
}

void MeterLevelClock::setLevels(MeterLevels::Levels levels) {
    if (assignIfChanged(levels_, std::move(levels))) emit levelsChanged();
}

void MeterLevelClock::tick() {
    // Read on every tick, so a change of the setting shows on the next one.
    const bool pre = MeterSources::read(defaults_) == MeterSource::pre;
    std::vector<MeterLevels::Reading> readings;
    readings.reserve(taps_.live().size());
    for (auto& [bundleID, tap] : taps_.live()) {
        if (tap->meterPre() != pre) tap->setMeterPre(pre);
        readings.push_back({bundleID, tap->takePeak(), tap->takePostPeak(), tap->recordsToMain()});
    }
    setLevels(MeterLevels::next(levels_, readings));
    if (onTick_) onTick_();

    ++ticks_;
    if (ticks_ % kTicksPerFrame == 0) companion_.sendMeterFrame(levels_);
}

}  // namespace quellor
