#include "ui/console/ConsoleFades.h"

#include <cmath>
#include <limits>

namespace quellor {

ConsoleFades::~ConsoleFades() {
    for (const auto& [key, fade] : fades_) scheduler().cancel(fade.task);
}

ConsoleFades& ConsoleFades::shared() {
    // Never destroyed: fades may still be stepping while the program quits.
    static ConsoleFades* const instance = new ConsoleFades;
    return *instance;
}

std::int64_t ConsoleFades::stepCount(double seconds) {
    const double steps = std::trunc(seconds * kStepsPerSecond);
    if (!(steps >= 1)) return 1;
    constexpr double kBound = double(std::numeric_limits<std::int32_t>::max());
    return steps < kBound ? std::int64_t(steps) : std::int64_t(kBound);
}

void ConsoleFades::start(const QString& key, std::function<void(float)> setter, float from, float to, double seconds) {
    cancel(key);
    Fade& fade = fades_[key];
    fade.serial = nextSerial_++;
    fade.setter = std::move(setter);
    fade.from = from;
    fade.to = to;
    fade.steps = stepCount(seconds);
    scheduleStep(fade, key);
}

void ConsoleFades::cancel(const QString& key) {
    auto it = fades_.find(key);
    if (it == fades_.end()) return;
    scheduler().cancel(it->second.task);
    fades_.erase(it);
}

void ConsoleFades::scheduleStep(Fade& fade, const QString& key) {
    fade.task = scheduler().after(kStepSeconds, alive_.guard([this, key, serial = fade.serial] { step(key, serial); }));
}

void ConsoleFades::step(const QString& key, std::uint64_t serial) {
    auto it = fades_.find(key);
    if (it == fades_.end() || it->second.serial != serial) return;
    Fade& fade = it->second;
    fade.task = 0;
    const std::int64_t i = fade.next++;
    const float value = float(i) / float(fade.steps) * (fade.to - fade.from) + fade.from;
    // The setter may start or stop fades, this key's too: look the fade up again afterwards.
    const std::function<void(float)> setter = fade.setter;
    if (setter) setter(value);
    it = fades_.find(key);
    if (it == fades_.end() || it->second.serial != serial) return;
    if (i >= it->second.steps) fades_.erase(it);
    else scheduleStep(it->second, key);
}

}  // namespace quellor
