// Scenarios on the simulated world: which applications get taps, how the set follows devices,
// rates, refusals and stalls, cue to PHONES, panic and solo, and the shutdown.
#include <QSignalSpy>

#include "EngineFixture.h"
#include "base/JsonDefaults.h"
#include "engine/RouteID.h"

namespace quellor::test {
namespace {

class MixerEngineTapsTest : public EngineFixture {
protected:
    // The player's first tap start is refused, which starts the capture retry.
    void refuseThePlayersTap() {
        addOutputDevice("speakers", 2);
        addApp(100, kPlayer);
        startEngine();
        hardware.io().setCapturePermission(false);
        engine().setVolume(0.5f, app(kPlayer));
    }
};

TEST_F(MixerEngineTapsTest, APlayingApplicationGetsATapOnlyWhenItNeedsOne) {
    addOutputDevice("speakers", 2);
    startEngine();
    addApp(100, kPlayer);
    settle();
    EXPECT_TRUE(tappedApps().isEmpty());  // at defaults, nothing that needs every source

    engine().setVolume(0.5f, app(kPlayer));
    EXPECT_EQ(tappedApps(), QStringList{kPlayer});
    ASSERT_NE(tap(kPlayer), nullptr);
    EXPECT_EQ(tap(kPlayer)->volume(), 0.5f);
    EXPECT_EQ(tap(kPlayer)->targetGain(), 0.125f);  // the fader law: the position cubed
    EXPECT_FALSE(tap(kPlayer)->pairedBuses());
    // The lines support reads to check what a new tap was given.
    EXPECT_TRUE(logs.contains("MixerEngine", LogLevel::Default, "PAIRCHK outputs=1 deviceFound=true ch=2 pairing=false"));
    EXPECT_TRUE(logs.containsText("LEVELCHK app=com.example.player pos=0.500000 gain=0.125000 paired=false phonesBusGain="));

    // On an interface with a PHONES pair every playing application is tapped, silent ones are not.
    const AudioObjectID iface = addOutputDevice("iface", 8);
    hardware.setDefaultOutputDevice(iface);
    addApp(200, kRadio);
    addApp(300, "com.example.idle", false);
    settle();
    EXPECT_EQ(tappedApps(), (QStringList{kPlayer, kRadio}));
    EXPECT_TRUE(engine().hasPhonesBus());
}

TEST_F(MixerEngineTapsTest, OneTapTakesEveryCopyOfAnApplicationAsCopiesComeAndGo) {
    addOutputDevice("iface", 8);
    const AudioObjectID second = addApp(500, kPlayer);
    const AudioObjectID first = addApp(400, kPlayer);
    startEngine();
    ASSERT_NE(tap(kPlayer), nullptr);
    EXPECT_EQ(tappedApps(), QStringList{kPlayer});
    EXPECT_EQ(tap(kPlayer)->processObjectIDs(), (std::vector<std::uint32_t>{std::min(first, second), std::max(first, second)}));

    // A copy that starts later joins the tap, one that quits leaves it.
    const AudioObjectID third = addApp(600, kPlayer);
    settle();
    ASSERT_NE(tap(kPlayer), nullptr);
    EXPECT_EQ(tap(kPlayer)->processObjectIDs().size(), 3u);
    quitApp(400, first);
    settle();
    ASSERT_NE(tap(kPlayer), nullptr);
    EXPECT_EQ(tap(kPlayer)->processObjectIDs(), (std::vector<std::uint32_t>{std::min(second, third), std::max(second, third)}));
}

TEST_F(MixerEngineTapsTest, AnEditThroughEitherCopyTapsBothAndTheNextRebuildsKeepTheTap) {
    addOutputDevice("speakers", 2);
    const AudioObjectID second = addApp(500, kPlayer);
    const AudioObjectID first = addApp(400, kPlayer);
    startEngine();
    ASSERT_EQ(tap(kPlayer), nullptr);
    AudioApp higher;
    for (const AudioApp& a : engine().processMonitor().apps())
        if (a.id == 500) higher = a;
    ASSERT_EQ(higher.bundleID, kPlayer);

    engine().toggleMute(higher);
    ASSERT_NE(tap(kPlayer), nullptr);
    EXPECT_TRUE(tap(kPlayer)->isMuted());
    EXPECT_EQ(tap(kPlayer)->processObjectIDs(), (std::vector<std::uint32_t>{std::min(first, second), std::max(first, second)}));
    advance(3.0);  // the next rebuilds keep it
    const AudioObjectID kept = tapAggregate(kPlayer);
    addApp(700, kRadio);
    settle();
    EXPECT_EQ(tapAggregate(kPlayer), kept);
}

TEST_F(MixerEngineTapsTest, CueOnAnEightChannelInterfacePutsOnlyTheCuedApplicationOnPhones) {
    addOutputDevice("iface", 8);
    addApp(100, kPlayer);
    addApp(200, kRadio);
    startEngine();
    ASSERT_EQ(tappedApps().size(), 2);
    EXPECT_EQ(tap(kPlayer)->phonesMode(), PhonesMode::MirrorsMain);
    EXPECT_TRUE(tap(kPlayer)->pairedBuses());

    engine().setVolume(0.2f, app(kPlayer));
    engine().setCue(true, kPlayer);
    EXPECT_TRUE(logs.contains("MixerEngine", LogLevel::Debug, "setCue true for com.example.player"));
    EXPECT_EQ(tap(kPlayer)->phonesMode(), PhonesMode::CueLevel);  // pre-fade at its cue level
    EXPECT_EQ(tap(kRadio)->phonesMode(), PhonesMode::Silent);     // nothing on PHONES
    EXPECT_TRUE(engine().isAnyAppCued());

    engine().setCue(false, kPlayer);
    EXPECT_EQ(tap(kPlayer)->phonesMode(), PhonesMode::MirrorsMain);
    EXPECT_EQ(tap(kRadio)->phonesMode(), PhonesMode::MirrorsMain);
}

TEST_F(MixerEngineTapsTest, PanicAndSoloSilenceLiveAndNewTaps) {
    addOutputDevice("iface", 8);
    addApp(100, kPlayer);
    addApp(200, kRadio);
    startEngine();

    engine().applySolo(true, kPlayer);
    EXPECT_FALSE(tap(kPlayer)->panicked());
    EXPECT_TRUE(tap(kRadio)->panicked());
    engine().applySolo(false, kPlayer);
    EXPECT_FALSE(tap(kRadio)->panicked());

    engine().applySolo(true, RouteID::kMainBus);  // soloed id of no application silences every one
    EXPECT_TRUE(engine().isSilenced(kPlayer));
    engine().applySolo(false, RouteID::kMainBus);

    engine().setPanic(true);
    EXPECT_TRUE(logs.contains("MixerEngine", LogLevel::Info, "Panic engaged"));
    addApp(300, "com.example.new");
    settle();
    ASSERT_NE(tap("com.example.new"), nullptr);
    EXPECT_TRUE(tap("com.example.new")->panicked());
    engine().setPanic(false);
    EXPECT_FALSE(tap(kPlayer)->panicked());
}

TEST_F(MixerEngineTapsTest, TapsAtDefaultsAreReleasedOnlyWhenNothingNeedsEverySource) {
    addOutputDevice("speakers", 2);
    addApp(100, kPlayer);
    addApp(200, kRadio);
    startEngine();
    engine().setVolume(0.5f, app(kRadio));

    engine().applySolo(true, kRadio);  // a solo taps every playing application
    EXPECT_EQ(tappedApps(), (QStringList{kPlayer, kRadio}));
    advance(1.0);
    EXPECT_EQ(tappedApps(), (QStringList{kPlayer, kRadio}));

    engine().applySolo(false, kRadio);
    engine().setPanic(true);  // while panicked nothing is dropped
    engine().setPanic(false);
    advance(0.29);
    EXPECT_EQ(tappedApps().size(), 2);
    advance(0.02);
    EXPECT_EQ(tappedApps(), QStringList{kRadio});
}

TEST_F(MixerEngineTapsTest, SwitchingTheDefaultOutputRebuildsTapsOnTheNewDevice) {
    addOutputDevice("speakers", 2);
    const AudioObjectID iface = addOutputDevice("iface", 8);
    addApp(100, kPlayer);
    startEngine();
    engine().setVolume(0.5f, app(kPlayer));
    ASSERT_EQ(tap(kPlayer)->activatedOutputs().front().uid, "speakers");
    ASSERT_TRUE(tap(kPlayer)->recordsToMain());

    hardware.setDefaultOutputDevice(iface);
    settle();
    ASSERT_NE(tap(kPlayer), nullptr);
    EXPECT_EQ(tap(kPlayer)->activatedOutputs().front().uid, "iface");
    EXPECT_TRUE(tap(kPlayer)->recordsToMain());
    EXPECT_EQ(engine().taps().rateListenerDevices(), std::vector<std::uint32_t>{iface});
}

TEST_F(MixerEngineTapsTest, AKeptTapFeedsMainExactlyWhileItsDeviceIsTheMainDevice) {
    const AudioObjectID speakers = addOutputDevice("speakers", 2);
    const AudioObjectID usb = addOutputDevice("usb", 2);
    const AudioObjectID player = addApp(100, kPlayer);
    hardware.io().setTone(player, {SimulatedIO::Tone::Kind::dc, 440.0, 0.25f, 0.5f});
    defaults().setData("appVolumes", R"({"com.example.player":{"outputDeviceUIDs":["usb"]}})");
    startEngine();
    const AudioObjectID aggregate = tapAggregate(kPlayer);
    ASSERT_NE(aggregate, 0u);
    EXPECT_FALSE(tap(kPlayer)->recordsToMain());

    hardware.setDefaultOutputDevice(usb);
    advance(1.0);
    EXPECT_EQ(tapAggregate(kPlayer), aggregate);  // its outputs did not change: kept
    EXPECT_TRUE(tap(kPlayer)->recordsToMain());
    EXPECT_GT(engine().meters().levels().at(RouteID::kMainBus), 0.4f);

    hardware.setDefaultOutputDevice(speakers);
    advance(3.0);  // what it showed before has decayed away
    EXPECT_EQ(tapAggregate(kPlayer), aggregate);
    EXPECT_FALSE(tap(kPlayer)->recordsToMain());
    EXPECT_LT(engine().meters().levels().at(RouteID::kMainBus), 0.001f);
}

TEST_F(MixerEngineTapsTest, ATapOnChosenOutputsPlaysAtFullGainWhateverItsFader) {
    // The chosen devices' own volumes are the level there.
    addOutputDevice("speakers", 2);
    addOutputDevice("usb", 2);
    addApp(100, kPlayer);
    defaults().setData("appVolumes", R"({"com.example.player":{"volume":0.5,"outputDeviceUIDs":["usb"]}})");
    startEngine();
    ASSERT_NE(tap(kPlayer), nullptr);
    EXPECT_EQ(tap(kPlayer)->targetGain(), 1.0f);

    engine().setVolume(0.25f, app(kPlayer));
    ASSERT_NE(tap(kPlayer), nullptr);
    EXPECT_EQ(tap(kPlayer)->targetGain(), 1.0f);
    EXPECT_EQ(engine().volumes().at(kPlayer).volume, 0.25f);  // the fader itself moved
}

TEST_F(MixerEngineTapsTest, ASampleRateChangeOfTheFirstOutputRestartsItsTaps) {
    const AudioObjectID speakers = addOutputDevice("speakers", 2);
    const AudioObjectID other = addOutputDevice("other", 2);
    addApp(100, kPlayer);
    startEngine();
    engine().setVolume(0.5f, app(kPlayer));
    const AudioObjectID before = tapAggregate(kPlayer);
    ASSERT_NE(before, 0u);

    hardware.setNominalSampleRate(other, 96000.0);  // not in use: nothing happens
    settle();
    EXPECT_EQ(tapAggregate(kPlayer), before);

    hardware.setNominalSampleRate(speakers, 96000.0);
    settle();
    ASSERT_NE(tap(kPlayer), nullptr);
    EXPECT_NE(tapAggregate(kPlayer), before);
    EXPECT_EQ(tap(kPlayer)->activatedSampleRate(), 96000.0);
    EXPECT_TRUE(logs.containsText(QString("Nominal sample rate changed on device %1").arg(speakers)));
}

TEST_F(MixerEngineTapsTest, StoringABusPairingRestartsTheTapsOnThatDevice) {
    addOutputDevice("iface", 8);
    addApp(100, kPlayer);
    startEngine();
    const AudioObjectID before = tapAggregate(kPlayer);
    ASSERT_NE(before, 0u);
    engine().setBusPairing(BusPairing{4, 6}, "iface");
    EXPECT_EQ(JsonDefaults::load<BusPairingMap>("busPairings"), (BusPairingMap{{"iface", BusPairing{4, 6}}}));
    ASSERT_NE(tap(kPlayer), nullptr);
    EXPECT_NE(tapAggregate(kPlayer), before);
    EXPECT_EQ(tap(kPlayer)->busLayout().mainOffset, 4);
    EXPECT_EQ(tap(kPlayer)->busLayout().phonesOffset, 6);
}

TEST_F(MixerEngineTapsTest, TheWatchdogReplacesATapThatNeverRendersOnItsSecondPass) {
    addOutputDevice("speakers", 2);
    addApp(100, kPlayer);
    startEngine();
    engine().setVolume(0.5f, app(kPlayer));
    const AudioObjectID stalled = tapAggregate(kPlayer);
    ASSERT_NE(stalled, 0u);
    hardware.io().setStalled(stalled, true);

    advance(2.0);  // first silent pass
    EXPECT_EQ(tapAggregate(kPlayer), stalled);
    advance(2.0);  // second: replaced
    ASSERT_NE(tap(kPlayer), nullptr);
    EXPECT_NE(tapAggregate(kPlayer), stalled);
    EXPECT_EQ(logs.count("Watchdog: tap for com.example.player never rendered while its process outputs — rebuilding"), 1);
    advance(4.0);  // the replacement renders and stays
    EXPECT_EQ(logs.count("Watchdog: tap for com.example.player never rendered while its process outputs — rebuilding"), 1);
}

TEST_F(MixerEngineTapsTest, RefusedCaptureIsRetriedAfterOneThreeSevenAndFifteenSeconds) {
    refuseThePlayersTap();
    EXPECT_TRUE(engine().needsAudioCapturePermission());
    EXPECT_TRUE(engine().isRetryingTaps());
    EXPECT_TRUE(logs.containsText("Tap failed for com.example.player: Failed to create process tap"));

    auto failedStarts = [&] {
        int n = 0;
        for (const auto& r : logs.records("MixerEngine")) n += r.text.startsWith("Tap failed");
        return n;
    };
    // Each retry rebuilds the set once, 1, 3, 7 and 15 s after the failure.
    double elapsed = 0;
    int failures = failedStarts();
    for (double at : {1.0, 3.0, 7.0, 15.0}) {
        advance(at - elapsed - 0.01);
        EXPECT_EQ(failedStarts(), failures) << "before " << at;
        advance(0.02);
        EXPECT_EQ(failedStarts(), ++failures) << "at " << at;
        elapsed = at + 0.01;
    }
    advance(30.0);
    EXPECT_EQ(failedStarts(), failures);
    EXPECT_FALSE(engine().isRetryingTaps());
    EXPECT_TRUE(engine().needsAudioCapturePermission());

    // A new failure starts a new retry; granting ends it at the next attempt.
    engine().taps().restartAll();
    EXPECT_TRUE(engine().isRetryingTaps());
    hardware.io().setCapturePermission(true);
    advance(1.0);
    EXPECT_NE(tap(kPlayer), nullptr);
    EXPECT_FALSE(engine().needsAudioCapturePermission());
    EXPECT_FALSE(engine().isRetryingTaps());
    const int after = failedStarts();
    advance(20.0);
    EXPECT_EQ(failedStarts(), after);
}

TEST_F(MixerEngineTapsTest, ShutdownRaisesUnmutedTapsWaitsThenTearsDown) {
    addOutputDevice("speakers", 2);
    addApp(100, kPlayer);
    addApp(200, kRadio);
    addApp(300, "com.example.full");
    startEngine();
    engine().setVolume(0.5f, app(kPlayer));
    engine().setVolume(0.2f, app(kRadio));
    engine().toggleMute(app(kRadio));
    engine().setVolume(0.999f, app("com.example.full"));
    std::shared_ptr<ProcessTap> player = engine().taps().live().at(kPlayer);
    std::shared_ptr<ProcessTap> radio = engine().taps().live().at(kRadio);
    std::shared_ptr<ProcessTap> full = engine().taps().live().at("com.example.full");

    engine().shutdown();
    EXPECT_EQ(player->volume(), 1.0f);
    EXPECT_EQ(radio->volume(), 0.2f);  // muted: left alone
    EXPECT_FLOAT_EQ(full->volume(), 0.999f);
    EXPECT_EQ(waits, std::vector<double>{0.15});
    EXPECT_TRUE(engine().taps().live().empty());
    EXPECT_FALSE(player->isAggregateAlive());

    // Nothing rebuilds or retries once shut down.
    addApp(400, "com.example.late");
    engine().setVolume(0.3f, app(kPlayer));
    settle();
    advance(20.0);
    EXPECT_TRUE(engine().taps().live().empty());
}

TEST_F(MixerEngineTapsTest, ShutdownEndsARunningCaptureRetry) {
    refuseThePlayersTap();
    ASSERT_TRUE(engine().isRetryingTaps());

    engine().shutdown();
    EXPECT_FALSE(engine().isRetryingTaps());
    hardware.io().setCapturePermission(true);
    advance(20.0);
    EXPECT_TRUE(engine().taps().live().empty());
    EXPECT_EQ(hardware.io().taps().size(), 0u);
}

TEST_F(MixerEngineTapsTest, ShutdownWithoutQuietUnmutedTapsDoesNotWait) {
    addOutputDevice("speakers", 2);
    addApp(100, kPlayer);
    startEngine();
    engine().toggleMute(app(kPlayer));
    engine().shutdown();
    EXPECT_TRUE(waits.empty());
    EXPECT_TRUE(engine().taps().live().empty());
}

}  // namespace
}  // namespace quellor::test
