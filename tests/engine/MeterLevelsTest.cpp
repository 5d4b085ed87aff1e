#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "engine/MeterLevels.h"

namespace quellor {
namespace {

using Reading = MeterLevels::Reading;
using Levels = MeterLevels::Levels;

TEST(MeterLevels, AFullScalePeakDecaysBy088PerTickAndFallsBelowSilenceOnThe55thTick) {
    Levels levels = MeterLevels::next({}, {{"com.a", 1.0f, 1.0f, true}});
    EXPECT_EQ(levels.at("com.a"), 1.0f);
    EXPECT_EQ(levels.at("bus:main"), 1.0f);
    levels = MeterLevels::next(levels, {{"com.a", 0, 0, true}});
    EXPECT_EQ(levels.at("com.a"), 0.88f);
    levels = MeterLevels::next(levels, {{"com.a", 0, 0, true}});
    EXPECT_EQ(levels.at("com.a"), 0.88f * 0.88f);
    EXPECT_NEAR(levels.at("com.a"), 0.7744f, 1e-6f);

    // 0.88^1 ... 0.88^54 stay at or above 0.001; the 55th tick after the peak drops below it.
    int furtherTicks = 2;
    while (!MeterLevels::isSilent(levels)) {
        levels = MeterLevels::next(levels, {{"com.a", 0, 0, true}});
        ++furtherTicks;
    }
    EXPECT_EQ(furtherTicks, 55);
}

TEST(MeterLevels, ANewPeakAboveTheDecayedLevelReplacesItAndPeaksAreCapped) {
    Levels levels = MeterLevels::next({}, {{"com.a", 0.5f, 0, false}});
    levels = MeterLevels::next(levels, {{"com.a", 0.6f, 0, false}});
    EXPECT_EQ(levels.at("com.a"), 0.6f);
    levels = MeterLevels::next(levels, {{"com.a", 0.1f, 0, false}});
    EXPECT_EQ(levels.at("com.a"), 0.6f * 0.88f);
    levels = MeterLevels::next(levels, {{"com.a", 3.0f, 0, false}});
    EXPECT_EQ(levels.at("com.a"), 1.0f);
    const float nan = std::numeric_limits<float>::quiet_NaN();
    levels = MeterLevels::next({}, {{"com.a", nan, nan, true}, {"com.b", -2.0f, -2.0f, true}});
    EXPECT_EQ(levels, (Levels{{"com.a", 0.0f}, {"com.b", 0.0f}, {"bus:main", 0.0f}}));
}

TEST(MeterLevels, MainIsTheRootOfTheSummedSquaresOfThePostPeaksThatPlayOnMain) {
    struct Case {
        const char* name;
        std::vector<Reading> readings;
        float main;
    };
    const Case cases[] = {
        {"two at 0.5", {{"a", 0.9f, 0.5f, true}, {"b", 0.9f, 0.5f, true}}, std::sqrt(0.5f)},
        {"only the taps on MAIN count", {{"a", 0.9f, 0.5f, true}, {"b", 0.9f, 0.8f, false}}, 0.5f},
        {"pre-fader meter peaks do not count", {{"a", 1.0f, 0.0f, true}}, 0.0f},
        {"never above 1", {{"a", 0, 0.9f, true}, {"b", 0, 0.9f, true}, {"c", 0, 0.9f, true}}, 1.0f},
        {"no taps", {}, 0.0f},
    };
    for (const auto& c : cases) EXPECT_FLOAT_EQ(MeterLevels::next({}, c.readings).at("bus:main"), c.main) << c.name;
    EXPECT_NEAR(MeterLevels::next({}, cases[0].readings).at("bus:main"), 0.707f, 0.001f);
}

TEST(MeterLevels, KeysFollowTheTapsAndMainDecaysWithoutAny) {
    const Levels before = {{"com.gone", 0.5f}, {"bus:main", 0.5f}};
    EXPECT_EQ(MeterLevels::next(before, {}), (Levels{{"bus:main", 0.5f * 0.88f}}));
    EXPECT_EQ(MeterLevels::next(before, {{"com.new", 0.2f, 0, false}}),
              (Levels{{"com.new", 0.2f}, {"bus:main", 0.5f * 0.88f}}));
}

TEST(MeterLevels, SilenceIsEveryLevelBelowOneThousandth) {
    EXPECT_TRUE(MeterLevels::isSilent({}));
    EXPECT_TRUE(MeterLevels::isSilent({{"a", 0.0009f}, {"bus:main", 0.0f}}));
    EXPECT_FALSE(MeterLevels::isSilent({{"a", 0.0009f}, {"bus:main", 0.001f}}));
}

TEST(MeterLevels, PayloadRoundsToThreeDecimalsAndWritesShortestText) {
    const std::vector<std::pair<float, float>> rounding = {
        {0.12345f, 0.123f}, {0.0005f, 0.001f}, {0.0004f, 0.0f}, {0.9996f, 1.0f}, {1.0f, 1.0f}, {0.0f, 0.0f}};
    for (auto [level, sent] : rounding) EXPECT_EQ(MeterLevels::rounded(level), sent) << level;
    EXPECT_EQ(MeterLevels::payload({{"com.a", 0.12345f}, {"bus:main", 0.0005f}, {"com.b", 0.0f}}),
              QByteArray(R"({"bus:main":0.001,"com.a":0.123,"com.b":0})"));
}

}  // namespace
}  // namespace quellor
