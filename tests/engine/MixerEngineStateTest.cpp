// The engine's stored state and start: what it loads, what it writes back, in which order it
// wires the remote side, and the after-set hooks.
#include <QSignalSpy>

#include "EngineFixture.h"
#include "base/JsonDefaults.h"
#include "engine/RouteID.h"

namespace quellor::test {
namespace {

class MixerEngineStateTest : public EngineFixture {};

QStringList defaultSlots() {
    QStringList layout{"bus:main", "bus:phones"};
    while (layout.size() < 16) layout.append(QString());
    return layout;
}

TEST_F(MixerEngineStateTest, ConsoleSlotsKeepSixteenExtendEightAndReplaceAnythingElse) {
    QStringList eight{"a", "b", "c", "d", "e", "f", "g", "h"};
    QStringList sixteen;
    for (int i = 0; i < 16; ++i) sixteen.append(QString("s%1").arg(i));
    QStringList twelve = sixteen.mid(0, 12);
    QStringList eightExtended = eight;
    for (int i = 0; i < 8; ++i) eightExtended.append(QString());

    struct Case {
        std::optional<QVariant> stored;
        QStringList expected;
    } cases[] = {
        {std::nullopt, defaultSlots()},
        {QVariant(eight), eightExtended},
        {QVariant(sixteen), sixteen},
        {QVariant(twelve), defaultSlots()},
        {QVariant(QString("bus:main")), defaultSlots()},
    };
    for (const Case& c : cases) {
        auto defaults = std::make_unique<UserDefaults>();
        UserDefaults::installStandard(defaults.get());
        if (c.stored) defaults->setValue("consoleSlots", *c.stored);
        MixerEngine engine({running, bluetooth, [](std::function<void()> job) { job(); }, nullptr}, *defaults);
        EXPECT_TRUE(engine.consoleSlots().isEmpty());
        engine.start();
        EXPECT_EQ(engine.consoleSlots(), c.expected);
        engine.shutdown();
        UserDefaults::installStandard(defaults_.get());
    }
}

TEST_F(MixerEngineStateTest, StartLoadsTheMixDropsTheLegacyCueKeyAndLeavesAutoRecordOff) {
    AppVolumeMap stored{{"com.example.player", AppVolume{0.5f, true, {}, false, 1.0f}}};
    JsonDefaults::save(stored, "appVolumes");
    JsonDefaults::save(BusPairingMap{{"iface", BusPairing{4, 0}}}, "busPairings");
    JsonDefaults::save(StripStyleMap{{"bus:main", StripStyle{QString("Desk"), 3, std::nullopt}}}, "stripStyles");
    defaults().setString("cueOutputUID", "old-device");
    defaults().setBool("autoRec", true);

    EXPECT_EQ(engine().stripStyles().at("bus:main").name, QString("Desk"));  // read at construction
    EXPECT_TRUE(engine().volumes().empty());
    startEngine();

    EXPECT_EQ(engine().volumes(), stored);
    EXPECT_EQ(engine().busPairings().at("iface"), (BusPairing{4, 0}));
    EXPECT_FALSE(defaults().contains("cueOutputUID"));
    EXPECT_FALSE(engine().isAutoRec());
    EXPECT_TRUE(engine().isStarted());
}

TEST_F(MixerEngineStateTest, UnreadableStoredValuesGiveEmptyState) {
    defaults().setData("appVolumes", R"({"com.example.player":{"volume":"loud"}})");
    defaults().setData("busPairings", R"({"iface":{"mainOffset":0}})");
    defaults().setData("stripStyles", "not json");
    EXPECT_TRUE(engine().stripStyles().empty());
    startEngine();
    EXPECT_TRUE(engine().volumes().empty());
    EXPECT_TRUE(engine().busPairings().empty());
}

TEST_F(MixerEngineStateTest, StartHandsOverPinAndPasswordBeforeWiringCallbacksAndRunsOnce) {
    startEngine();
    EXPECT_EQ(remote.calls, (std::vector<QString>{"pin:123456", "password:654321", "osc", "engine"}));
    EXPECT_TRUE(remote.handlers.cue && remote.handlers.panic && remote.handlers.slot && remote.handlers.appVolume);

    QSignalSpy started(&engine(), &MixerEngine::isStartedChanged);
    engine().start();
    EXPECT_EQ(remote.calls.size(), 4u);
    EXPECT_EQ(started.count(), 0);
}

TEST_F(MixerEngineStateTest, HooksPersistOnEveryAssignmentButNotifyOnlyOnChange) {
    int mixChanges = 0;
    engine().onMixChanged = [&] { ++mixChanges; };
    QSignalSpy styles(&engine(), &MixerEngine::stripStylesChanged);
    QSignalSpy autoRec(&engine(), &MixerEngine::isAutoRecChanged);

    StripStyleMap map{{"com.example.player", StripStyle{std::nullopt, 2, QString("drums")}}};
    engine().setStripStyles(map);
    defaults().remove("stripStyles");
    engine().setStripStyles(map);
    EXPECT_EQ(styles.count(), 1);
    EXPECT_EQ(mixChanges, 2);
    EXPECT_EQ(JsonDefaults::load<StripStyleMap>("stripStyles"), map);

    engine().setAutoRec(false);
    EXPECT_EQ(autoRec.count(), 0);
    EXPECT_EQ(defaults().boolValue("autoRec"), false);
}

TEST_F(MixerEngineStateTest, SetSlotIgnoresOutOfRangeAndUnchangedSlots) {
    startEngine();
    int mixChanges = 0;
    engine().onMixChanged = [&] { ++mixChanges; };
    engine().setSlot("com.example.player", 16);
    engine().setSlot("com.example.player", -1);
    engine().setSlot(RouteID::kMainBus, 0);
    EXPECT_FALSE(defaults().contains("consoleSlots"));
    EXPECT_EQ(mixChanges, 0);

    engine().setSlot("com.example.player", 15);
    EXPECT_EQ(engine().consoleSlots().at(15), "com.example.player");
    EXPECT_EQ(defaults().stringArrayValue("consoleSlots"), engine().consoleSlots());
    EXPECT_EQ(mixChanges, 1);
}

TEST_F(MixerEngineStateTest, OSCCallbacksReachTheEngine) {
    addOutputDevice("iface", 8);
    startEngine();
    remote.handlers.slot(3, "com.example.player");
    EXPECT_EQ(engine().consoleSlots().at(3), "com.example.player");
    remote.handlers.panic(true);
    EXPECT_TRUE(engine().isPanicked());
}

}  // namespace
}  // namespace quellor::test
