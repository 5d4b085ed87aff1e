#pragma once
// The arithmetic of the meters: one tick turns the peaks that the taps measured since the last
// tick into decaying levels, one per tapped application plus "bus:main"; the companion gets them
// rounded to three decimals as the JSON text of "/meters".
//
// Levels are linear peak amplitudes 0...1 (not decibels). A level falls by the factor 0.88 per
// tick unless a new peak is higher; peaks above 1 (and MAIN however many sources play) show as 1.
// MAIN is the root of the summed squared post-fader peaks of the taps that play on MAIN.
//
// Pure functions; any thread (not realtime code: they allocate).

#include <QByteArray>
#include <QString>
#include <map>
#include <optional>
#include <vector>

#include "engine/RouteID.h"

namespace quellor {

class MeterLevels {
public:
    using Levels = std::map<QString, float>;
    static inline const QString& kMainKey = RouteID::kMainBus;
    static constexpr float kDecay = 0.88f;
    static constexpr float kCeiling = 1.0f;
    static constexpr float kSilence = 0.001f;  // a level below it counts as silent

    // What one tap measured since the previous tick.
    struct Reading {
        QString bundleID;
        float peak = 0;           // the meter peak (pre- or post-fader, as the tap was told)
        float postPeak = 0;       // the post-fader peak of the MAIN channels
        bool recordsToMain = false;
    };

    // The levels after one tick. Keys are exactly the readings' bundle identifiers and "bus:main":
    // a tap that is gone loses its key. A peak that is not a number counts as 0.
    static Levels next(const Levels& previous, const std::vector<Reading>& readings);
    // Every level is below the silence threshold.
    static bool isSilent(const Levels& levels);
    // To three decimals, half away from zero, in float arithmetic: 0.12345 -> 0.123, 0.0005 -> 0.001.
    static float rounded(float level);
    // The compact JSON object of the rounded levels; nothing when it cannot be encoded.
    static std::optional<QByteArray> payload(const Levels& levels);
};

}  // namespace quellor
