#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "RecordPrinting.h"
#include "engine/MixerAppState.h"

namespace quellor {

void PrintTo(const MixerAppState::AppEntry& v, std::ostream* os) { test::printAsJson(v, os); }

namespace {

using Entry = MixerAppState::AppEntry;

MixerAppState::Sources sources(const AppVolumeMap& volumes) {
    MixerAppState::Sources s;
    s.outputVolume = 0.75f;
    s.inputVolume = 0.5f;
    s.hasOutputDevice = true;
    s.phonesVolume = 0.6f;
    s.volumes = &volumes;
    s.consoleSlots = {"bus:main", "bus:phones"};
    return s;
}

TEST(MixerAppState, RowsAreTheFourBusesThenEveryApplicationWithItsRecordOrTheDefaults) {
    const AppVolumeMap volumes = {{"com.b", AppVolume{0.25f, true, {}, true, 0.3f}},
                                  {"com.absent", AppVolume{0.1f, false, {}, false, 1.0f}}};
    auto s = sources(volumes);
    s.apps = {{"com.b", "Bee"}, {"com.a", "Ay"}};
    s.isPanicked = true;
    const auto state = MixerAppState::make(s);
    const std::vector<Entry> expected = {
        {"system_output", "Output", 0.75f, true, false, false, 1.0f, false},
        {"system_input", "Input", 0.5f, true, false, false, 1.0f, false},
        {"bus:main", "MAIN", 0.75f, true, false, false, 1.0f, false},
        {"bus:phones", "PHONES", 0.6f, true, false, false, 1.0f, false},
        {"com.b", "Bee", 0.25f, false, true, true, 0.3f, false},
        {"com.a", "Ay", 1.0f, false, false, true, 1.0f, false},
    };
    EXPECT_EQ(state.apps, expected);
    EXPECT_EQ(state.consoleSlots, QStringList({"bus:main", "bus:phones"}));
    EXPECT_TRUE(state.snapshotNames.isEmpty());
    EXPECT_TRUE(state.isPanicked);
}

TEST(MixerAppState, WithoutPhonesOrOutputTheBusRowsAreEmptyAndNothingCanCue) {
    const AppVolumeMap volumes;
    auto s = sources(volumes);
    s.apps = {{"com.a", "Ay"}};
    s.phonesVolume.reset();
    s.hasOutputDevice = false;
    const auto state = MixerAppState::make(s);
    ASSERT_EQ(state.apps.size(), 5u);
    EXPECT_EQ(state.apps[0], (Entry{"system_output", "Output", 0.75f, true, false, false, 1.0f, false}));
    EXPECT_TRUE(state.apps[2].isEmpty);
    EXPECT_EQ(state.apps[3], (Entry{"bus:phones", "PHONES", 0.0f, true, false, false, 1.0f, true}));
    EXPECT_FALSE(state.apps[4].canCue);
}

TEST(MixerAppState, OnlyTheFirstEightStripsAreSent) {
    const AppVolumeMap volumes;
    auto s = sources(volumes);
    for (const auto& [count, sent] : std::vector<std::pair<int, int>>{{16, 8}, {8, 8}, {3, 3}, {0, 0}}) {
        s.consoleSlots.clear();
        for (int i = 0; i < count; ++i) s.consoleSlots << QString::number(i);
        const auto state = MixerAppState::make(s);
        EXPECT_EQ(state.consoleSlots, s.consoleSlots.mid(0, sent)) << count;
    }
}

TEST(MixerAppState, JsonHasEveryMemberWithShortestFloatsAndReadsBackOnlyWhenComplete) {
    const AppVolumeMap volumes = {{"com.a", AppVolume{0.123f, false, {}, false, 0.3f}}};
    auto s = sources(volumes);
    s.apps = {{"com.a", "Ay"}};
    const auto state = MixerAppState::make(s);
    const auto text = json::encode(state);
    ASSERT_TRUE(text);
    EXPECT_TRUE(text->contains(R"("bundleID":"com.a","canCue":true,"cueVolume":0.3,"isCued":false,)"
                               R"("isEmpty":false,"isSystem":false,"name":"Ay","volume":0.123})"))
        << text->toStdString();
    EXPECT_TRUE(text->contains(R"("isPanicked":false,"slots":["bus:main","bus:phones"],"snapshotNames":[])"));
    EXPECT_EQ(json::decode<MixerAppState>(*text), state);

    QJsonObject row = QJsonDocument::fromJson(*text).object()["apps"].toArray()[4].toObject();
    for (const char* member : {"bundleID", "name", "volume", "isSystem", "isCued", "canCue", "cueVolume", "isEmpty"}) {
        QJsonObject lacking = row;
        lacking.remove(member);
        EXPECT_FALSE(json::fromJson<Entry>(lacking)) << member;
        QJsonObject wrong = row;
        wrong[member] = QJsonValue(QJsonArray());
        EXPECT_FALSE(json::fromJson<Entry>(wrong)) << member;
    }
    EXPECT_FALSE(json::decode<MixerAppState>(R"({"apps":[],"slots":[],"isPanicked":false})"));
}

}  // namespace
}  // namespace quellor
