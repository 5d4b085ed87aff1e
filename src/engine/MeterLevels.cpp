#include "engine/MeterLevels.h"

#include <cmath>

#include "base/JsonCoding.h"

namespace quellor {
namespace {

// Capped at the ceiling; a negative or NaN peak (a broken source) counts as silence rather than
// poisoning the level for good.
float capped(float peak) {
    if (peak >= MeterLevels::kCeiling) return MeterLevels::kCeiling;
    return peak > 0 ? peak : 0.0f;
}

float decayed(const MeterLevels::Levels& previous, const QString& key) {
    auto it = previous.find(key);
    return it == previous.end() ? 0.0f : it->second * MeterLevels::kDecay;
}

float held(float peak, float decayedLevel) { return peak > decayedLevel ? peak : decayedLevel; }

}  // namespace

MeterLevels::Levels MeterLevels::next(const Levels& previous, const std::vector<Reading>& readings) {
    Levels levels;
    float mainSum = 0;
    for (const Reading& r : readings) {
        levels[r.bundleID] = held(capped(r.peak), decayed(previous, r.bundleID));
        if (r.recordsToMain) {
            const float post = capped(r.postPeak);
            mainSum += post * post;
        }
    }
    levels[kMainKey] = held(capped(std::sqrt(mainSum)), decayed(previous, kMainKey));
    return levels;
}

bool MeterLevels::isSilent(const Levels& levels) {
    for (const auto& [key, level] : levels)
        if (!(level < kSilence)) return false;
    return true;
}

float MeterLevels::rounded(float level) { return std::round(level * 1000.0f) / 1000.0f; }

std::optional<QByteArray> MeterLevels::payload(const Levels& levels) {
    Levels rounded;
    for (const auto& [key, level] : levels) rounded[key] = MeterLevels::rounded(level);
    return json::encode(rounded);
}

}  // namespace quellor
