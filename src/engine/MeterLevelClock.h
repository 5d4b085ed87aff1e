#pragma once
// The engine's 30 Hz level clock (the console's meters repaint on their own 10 Hz MeterRepaintClock):
// 30 ticks a second turn the live taps' peaks into decaying levels for the strips'
// meters (before or after the fader, as "meterSource" says on that tick), run the engine's per-tick
// work, and every third tick hand the levels to the companion's "/meters" feed.
//
// Observable field (levels) emits its change signal only when an assignment changes the value.
//
// Threads: main thread only; the taps' peaks are taken from the IO threads' relaxed atomics.

#include <QObject>
#include <cstdint>
#include <functional>

#include "base/Scheduler.h"
#include "engine/MeterLevels.h"

namespace quellor {

class CompanionFeeds;
class TapSet;
class UserDefaults;

class MeterLevelClock : public QObject {
    Q_OBJECT
public:
    // `onTick` runs on every tick once the levels are new. The taps, the feeds and the defaults
    // (which hold "meterSource") must outlive the clock.
    MeterLevelClock(TapSet& taps, CompanionFeeds& companion, const UserDefaults& defaults, std::function<void()> onTick);

    // Starts ticking; a second call replaces the clock.
    void start();
    void tick();

    // The latest levels, by strip id (applications, "bus:main").
    const MeterLevels::Levels& levels() const { return levels_; }
    // Replaces the levels as a tick would (views are tested against chosen levels).
    void setLevels(MeterLevels::Levels levels);

signals:
    void levelsChanged();

private:
    TapSet& taps_;
    CompanionFeeds& companion_;
    const UserDefaults& defaults_;
    std::function<void()> onTick_;
    MeterLevels::Levels levels_;
    TaskSlot timer_;
    std::uint64_t ticks_ = 0;
    Liveness alive_;
};

}  // namespace quellor
