// Per-application edits: how a fader, mute, cue level or routing edit reaches the record, the live
// tap and the stored map.
#include <QSignalSpy>
#include <cmath>
#include <limits>

#include "EngineFixture.h"
#include "base/JsonDefaults.h"

namespace quellor::test {
namespace {

class MixerEngineMixStateTest : public EngineFixture {
protected:
    void SetUp() override {
        speakers = addOutputDevice("speakers", 2);
        addApp(100, kPlayer);
        startEngine();
    }
    std::optional<AppVolumeMap> stored() { return JsonDefaults::load<AppVolumeMap>("appVolumes"); }
    AudioObjectID speakers = 0;
};

// Every way a record gets into the mix clamps its levels by the one rule for levels, so a broken
// value can neither reach a tap nor stop the records from being saved.
TEST_F(MixerEngineMixStateTest, EveryEntryPointStoresClampedLevelsThatCanBeSaved) {
    const float inf = std::numeric_limits<float>::infinity();
    const QString absent = "com.example.absent";
    struct Case {
        float in, out;
    } cases[] = {{std::nanf(""), 1.0f}, {inf, 1.0f}, {-inf, 0.0f}, {1.7f, 1.0f}, {-0.2f, 0.0f}, {0.25f, 0.25f}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.in);
        engine().setVolumes({{kRadio, AppVolume{c.in, false, {}, false, c.in}}});  // setups and start
        EXPECT_EQ(engine().volumes().at(kRadio), (AppVolume{c.out, false, {}, false, c.out}));

        engine().applyAppVolume(AppVolume{c.in, true, {}, false, c.in}, app(kPlayer));
        EXPECT_EQ(engine().volumes().at(kPlayer), (AppVolume{c.out, true, {}, false, c.out}));
        ASSERT_NE(tap(kPlayer), nullptr);
        EXPECT_EQ(tap(kPlayer)->volume(), c.out);
        engine().setVolume(0.5f, app(kPlayer));
        engine().setVolume(c.in, app(kPlayer));
        EXPECT_EQ(engine().volumes().at(kPlayer).volume, c.out);
        engine().setCueVolume(0.5f, kPlayer);
        engine().setCueVolume(c.in, kPlayer);
        EXPECT_EQ(engine().volumes().at(kPlayer).cueVolume, c.out);
        engine().performRouteAction(absent, c.in);  // remembered for an application not running
        EXPECT_EQ(engine().volumes().at(absent).volume, c.out);

        advance(0.5);  // the debounced save
        EXPECT_FALSE(logs.containsText("Failed to encode appVolumes"));
        ASSERT_TRUE(stored());
        EXPECT_EQ(stored()->at(kPlayer), engine().volumes().at(kPlayer));
    }
}

TEST_F(MixerEngineMixStateTest, AFaderBurstUpdatesTheTapAtOnceAndSavesOnceAfterTheLastMove) {
    int mixChanges = 0;
    engine().onMixChanged = [&] { ++mixChanges; };
    JsonDefaults::save(AppVolumeMap{{kRadio, AppVolume{}}}, "appVolumes");  // stale entry at defaults
    QSignalSpy writes(&defaults(), &UserDefaults::changed);
    for (int i = 1; i <= 10; ++i) {
        engine().setVolume(0.05f * i, app(kPlayer));
        ASSERT_NE(tap(kPlayer), nullptr);
        EXPECT_FLOAT_EQ(tap(kPlayer)->volume(), 0.05f * i);
        advance(0.1);
    }
    auto appVolumeWrites = [&] {
        std::size_t n = 0;
        for (const auto& args : writes) n += args.at(0).toString() == "appVolumes";
        return n;
    };
    EXPECT_EQ(appVolumeWrites(), 0u);
    advance(0.29);
    EXPECT_EQ(appVolumeWrites(), 0u);
    advance(0.02);
    EXPECT_EQ(appVolumeWrites(), 1u);
    EXPECT_EQ(mixChanges, 1);
    // Only records off their defaults are written: the stale radio entry is gone.
    EXPECT_EQ(stored(), (AppVolumeMap{{kPlayer, AppVolume{0.5f, false, {}, false, 1.0f}}}));
}

TEST_F(MixerEngineMixStateTest, ShutdownWritesAFaderMoveThatWasStillWaitingForItsSave) {
    int mixChanges = 0;
    engine().onMixChanged = [&] { ++mixChanges; };
    engine().setVolume(0.25f, app(kPlayer));
    advance(0.1);
    engine().shutdown();
    EXPECT_EQ(stored(), (AppVolumeMap{{kPlayer, AppVolume{0.25f, false, {}, false, 1.0f}}}));
    EXPECT_EQ(mixChanges, 1);
    advance(1);
    EXPECT_EQ(mixChanges, 1);  // the debounced save does not run again
}

TEST_F(MixerEngineMixStateTest, MuteOfAnUntouchedApplicationCreatesItsRecordAndTap) {
    ASSERT_EQ(tap(kPlayer), nullptr);  // at defaults on a stereo output: untouched
    engine().toggleMute(app(kPlayer));
    EXPECT_EQ(engine().volumes().at(kPlayer), (AppVolume{1.0f, true, {}, false, 1.0f}));
    ASSERT_NE(tap(kPlayer), nullptr);
    EXPECT_TRUE(tap(kPlayer)->isMuted());
}

TEST_F(MixerEngineMixStateTest, OutputEditsRerouteAndDropRecordsBackAtDefaults) {
    addOutputDevice("headphones", 2, 48000.0, hal::kTransportBluetooth);
    settle();
    AudioDevice headphones;
    for (const AudioDevice& d : engine().deviceMonitor().devices())
        if (d.uid == "headphones") headphones = d;

    engine().addOutput(headphones, app(kPlayer));
    ASSERT_NE(tap(kPlayer), nullptr);
    EXPECT_EQ(tap(kPlayer)->activatedOutputs().front().uid, "headphones");
    EXPECT_NE(engine().volumeControl("headphones"), nullptr);

    // Adding it again changes nothing and schedules no save.
    advance(1.0);
    QSignalSpy writes(&defaults(), &UserDefaults::changed);
    engine().addOutput(headphones, app(kPlayer));
    advance(1.0);
    EXPECT_EQ(writes.count(), 0);

    engine().removeOutput("headphones", app(kPlayer));
    EXPECT_EQ(engine().volumes().count(kPlayer), 0u);
    EXPECT_EQ(tap(kPlayer), nullptr);
    EXPECT_EQ(engine().volumeControl("headphones"), nullptr);
}

TEST_F(MixerEngineMixStateTest, ExplicitOutputsPlayAtFullLevelButKeepTheMute) {
    AudioDevice device = *engine().currentOutputDevice();
    engine().setVolume(0.3f, app(kPlayer));
    engine().toggleMute(app(kPlayer));
    engine().addOutput(device, app(kPlayer));
    ASSERT_NE(tap(kPlayer), nullptr);
    EXPECT_EQ(tap(kPlayer)->volume(), 1.0f);
    EXPECT_TRUE(tap(kPlayer)->isMuted());

    engine().setVolume(0.6f, app(kPlayer));  // the device volume is the level
    EXPECT_EQ(tap(kPlayer)->volume(), 1.0f);
    EXPECT_TRUE(tap(kPlayer)->isMuted());

    engine().restartAllTaps();  // a rebuild does not make it audible
    ASSERT_NE(tap(kPlayer), nullptr);
    EXPECT_TRUE(tap(kPlayer)->isMuted());
}

TEST_F(MixerEngineMixStateTest, ACueMovesAnApplicationWithExplicitOutputsBetweenItsFaderAndFullLevel) {
    const AudioObjectID iface = addOutputDevice("iface", 8);
    hardware.setDefaultOutputDevice(iface);
    settle();
    AudioDevice device = *engine().currentOutputDevice();
    engine().setVolume(0.3f, app(kPlayer));
    engine().addOutput(device, app(kPlayer));
    ASSERT_NE(tap(kPlayer), nullptr);
    ASSERT_EQ(tap(kPlayer)->volume(), 1.0f);

    engine().setCue(true, kPlayer);
    ASSERT_NE(tap(kPlayer), nullptr);
    EXPECT_FLOAT_EQ(tap(kPlayer)->volume(), 0.3f);
    engine().setCue(false, kPlayer);
    ASSERT_NE(tap(kPlayer), nullptr);
    EXPECT_EQ(tap(kPlayer)->volume(), 1.0f);
}

TEST_F(MixerEngineMixStateTest, ResetToDefaultsSavesAtOnceAndReleasesTheTap) {
    engine().setVolume(0.4f, app(kPlayer));
    advance(0.5);
    ASSERT_TRUE(stored()->count(kPlayer));
    engine().resetToDefaults(app(kPlayer));
    EXPECT_TRUE(stored()->empty());
    EXPECT_EQ(tap(kPlayer), nullptr);
}

TEST_F(MixerEngineMixStateTest, CueLevelNeedsARecordAndCueNeedsAPhonesPair) {
    engine().setCueVolume(0.5f, kPlayer);
    EXPECT_TRUE(engine().volumes().empty());
    engine().setCue(true, kPlayer);  // stereo output: no PHONES pair
    EXPECT_TRUE(engine().volumes().empty());
    EXPECT_FALSE(logs.containsText("setCue"));
}

}  // namespace
}  // namespace quellor::test
