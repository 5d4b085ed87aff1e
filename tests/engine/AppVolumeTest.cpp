#include <cmath>
#include <limits>

#include "RecordPrinting.h"
#include "TestEnvironment.h"
#include "base/JsonDefaults.h"
#include "engine/AppVolume.h"
#include "engine/VolumeStore.h"

namespace quellor {

void PrintTo(const AppVolume& v, std::ostream* os) { test::printAsJson(v, os); }

namespace {

std::optional<AppVolume> decoded(const char* text) { return json::decode<AppVolume>(text); }

TEST(AppVolume, DecodingFillsDefaultsReadsTheLegacyOutputAndFailsOnWrongTypes) {
    struct Case {
        const char* json;
        std::optional<AppVolume> expected;
    };
    const Case cases[] = {
        {R"({"volume":0.5})", AppVolume{0.5f, false, {}, false, 1.0f}},
        {R"({})", AppVolume{}},
        {R"({"volume":null,"isMuted":null,"isCued":null,"cueVolume":null,"outputDeviceUIDs":null})", AppVolume{}},
        {R"({"volume":0.25,"isMuted":true,"outputDeviceUIDs":["A","B"],"isCued":true,"cueVolume":0.3,"pan":9})",
         AppVolume{0.25f, true, {"A", "B"}, true, 0.3f}},
        // Records from before several outputs were possible.
        {R"({"outputDeviceUID":"USB-1"})", AppVolume{1.0f, false, {"USB-1"}, false, 1.0f}},
        {R"({"outputDeviceUIDs":null,"outputDeviceUID":"USB-1"})", AppVolume{1.0f, false, {"USB-1"}, false, 1.0f}},
        {R"({"outputDeviceUIDs":[],"outputDeviceUID":"USB-1"})", AppVolume{}},
        {R"({"outputDeviceUID":null})", AppVolume{}},
        // Kept as stored: the engine clamps what it applies.
        {R"({"volume":1.7,"cueVolume":-0.2})", AppVolume{1.7f, false, {}, false, -0.2f}},
        // A wrong type anywhere fails the record.
        {R"({"volume":"0.5"})", std::nullopt},
        {R"({"isMuted":1})", std::nullopt},
        {R"({"cueVolume":true})", std::nullopt},
        {R"({"outputDeviceUIDs":"A"})", std::nullopt},
        {R"({"outputDeviceUIDs":["A",3]})", std::nullopt},
        {R"({"outputDeviceUID":7})", std::nullopt},
        {R"([])", std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(decoded(c.json), c.expected) << c.json;
}

TEST(AppVolume, EncodingWritesAllFiveKeysAsShortestFloatsAndNeverTheLegacyKey) {
    EXPECT_EQ(json::encode(AppVolume{0.123f, true, {"A", "B"}, true, 0.3f}),
              QByteArray(R"({"cueVolume":0.3,"isCued":true,"isMuted":true,"outputDeviceUIDs":["A","B"],"volume":0.123})"));
    auto legacy = decoded(R"({"outputDeviceUID":"USB-1"})");
    ASSERT_TRUE(legacy);
    EXPECT_EQ(json::encode(*legacy),
              QByteArray(R"({"cueVolume":1,"isCued":false,"isMuted":false,"outputDeviceUIDs":["USB-1"],"volume":1})"));
}

TEST(AppVolume, AtDefaultsIgnoresOnlyTheCueLevel) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    struct Case {
        AppVolume v;
        bool isDefault;
    };
    const Case cases[] = {
        {AppVolume{}, true},
        {AppVolume{1.0f, false, {}, false, 0.3f}, true},
        {AppVolume{0.999f, false, {}, false, 1.0f}, false},
        {AppVolume{nan, false, {}, false, 1.0f}, false},
        {AppVolume{1.0f, true, {}, false, 1.0f}, false},
        {AppVolume{1.0f, false, {"A"}, false, 1.0f}, false},
        {AppVolume{1.0f, false, {}, true, 1.0f}, false},
    };
    for (const auto& c : cases) EXPECT_EQ(c.v.isDefault(), c.isDefault) << testing::PrintToString(c.v);
}

class VolumeStoreTest : public test::QuellorTest {};

TEST_F(VolumeStoreTest, SavesOnlyRecordsNotAtDefaultsAndLoadsThemBack) {
    VolumeStore store;
    EXPECT_EQ(&store.defaults(), &UserDefaults::standard());
    EXPECT_TRUE(store.load().empty());

    const AppVolumeMap volumes{{"com.example.cueonly", AppVolume{1.0f, false, {}, false, 0.3f}},
                               {"com.example.untouched", AppVolume{}},
                               {"com.example.quiet", AppVolume{0.5f, false, {}, false, 1.0f}}};
    ASSERT_TRUE(store.save(volumes));
    EXPECT_EQ(defaults().dataValue("appVolumes"),
              QByteArray(R"({"com.example.quiet":{"cueVolume":1,"isCued":false,"isMuted":false,)"
                         R"("outputDeviceUIDs":[],"volume":0.5}})"));
    EXPECT_EQ(store.load(), (AppVolumeMap{{"com.example.quiet", volumes.at("com.example.quiet")}}));
}

TEST_F(VolumeStoreTest, OneUndecodableRecordDropsTheWholeMap) {
    const QByteArray stored = R"({"com.example.a":{"volume":0.5},"com.example.b":{"volume":"loud"}})";
    defaults().setData("appVolumes", stored);
    EXPECT_TRUE(VolumeStore().load().empty());
    EXPECT_EQ(defaults().dataValue("appVolumes"), stored);  // left for the next save to replace
    EXPECT_TRUE(logs.records().empty());
}

TEST_F(VolumeStoreTest, ANaNVolumeIsNotPersistedAndThePreviousBytesStay) {
    VolumeStore store;
    ASSERT_TRUE(store.save({{"com.example.a", AppVolume{0.5f, false, {}, false, 1.0f}}}));
    const auto before = defaults().dataValue("appVolumes");

    AppVolumeMap volumes{{"com.example.a", AppVolume{0.25f, false, {}, false, 1.0f}},
                         {"com.example.b", AppVolume{std::nanf(""), false, {}, false, 1.0f}}};
    EXPECT_FALSE(store.save(volumes));
    EXPECT_EQ(defaults().dataValue("appVolumes"), before);
    EXPECT_TRUE(logs.contains("JSONDefaults", LogLevel::Error, "Failed to encode appVolumes; not persisted"));
    EXPECT_TRUE(std::isnan(volumes.at("com.example.b").volume));  // the map in memory is untouched
}

}  // namespace
}  // namespace quellor
