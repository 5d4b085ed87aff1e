// Strip models on the simulated world: what each source's strip shows and what its closures do to
// the engine, the style overlay and grouped faders.
#include "ConsoleFixture.h"
#include "audio/AudioDeviceMonitor.h"
#include "remote/MIDIMappingManager.h"
#include "ui/common/ViewRefresh.h"
#include "ui/console/StoredStripCount.h"
#include "ui/console/StripModelRefresh.h"

namespace quellor::test {
namespace {

const NetworkEndpoint kCompanion(QHostAddress("192.0.2.7"), 53000);

class StripModels : public ConsoleFixture {
protected:
    int appListsSent() {
        return int(std::count_if(remote.texts.begin(), remote.texts.end(),
                                 [](const auto& t) { return t.address == "/app/list"; }));
    }
    static QStringList titles(const StripModel& m) {
        QStringList out;
        for (const RouteItem& item : m.routeItems) out << item.title + (item.checked ? " ✓" : "");
        return out;
    }
    const RouteItem& entry(const StripModel& m, const QString& title) {
        for (const RouteItem& item : m.routeItems)
            if (item.title == title) return item;
        ADD_FAILURE() << "no entry " << qPrintable(title);
        return m.routeItems.front();
    }
};

TEST_F(StripModels, FixedSourcesShowAndDriveTheirControls) {
    struct Case {
        QString id, name, icon;
        StripModel::Kind kind;
        std::function<float()> control;
        bool hasMute;
        std::optional<QString> route;
    };
    const Case cases[] = {
        {"bus:main", "MAIN", "hifispeaker.fill", StripModel::Kind::Output,
         [&] { return engine().systemVolume().volume(); }, false, "↳ USB-4"},
        {"bus:phones", "PHONES", "headphones", StripModel::Kind::Output,
         [&] { return engine().phonesBusVolume().volume(); }, true, std::nullopt},
        {"system_output", "Output", "speaker.wave.3.fill", StripModel::Kind::Output,
         [&] { return engine().systemVolume().volume(); }, false, "↳ USB-4"},
        {"system_input", "Input", "mic.fill", StripModel::Kind::Input,
         [&] { return engine().inputVolume().volume(); }, false, "↳ MIC"},
    };
    float value = 0.2f;
    for (const Case& c : cases) {
        SCOPED_TRACE(qPrintable(c.id));
        const StripModel m = builder().stripModel(c.id);
        EXPECT_EQ(m.name, c.name);
        EXPECT_EQ(m.icon, c.icon);
        EXPECT_EQ(m.kind, c.kind);
        EXPECT_TRUE(m.isActive);
        EXPECT_EQ(m.routeText, c.route);
        EXPECT_EQ(bool(m.toggleMute), c.hasMute);
        EXPECT_FALSE(m.toggleCue || m.toggleSolo || m.isCued || m.isSoloed);
        EXPECT_EQ(m.midiTarget, c.id);
        EXPECT_EQ(m.cueMIDITarget, std::nullopt);
        EXPECT_EQ(m.resetValue, std::nullopt);
        EXPECT_TRUE(m.targetID.isEmpty());
        EXPECT_FLOAT_EQ(m.volume, c.control());
        value += 0.1f;
        m.setVolume(value);
        EXPECT_FLOAT_EQ(c.control(), value);
        EXPECT_FLOAT_EQ(builder().stripModel(c.id).volume, value);
    }
}

TEST_F(StripModels, OnlyMainAndApplicationsMeterAndTheyReadTheLevelWhenAsked) {
    StripModel main = builder().stripModel("bus:main");
    StripModel player = builder().stripModel(kPlayer);
    engine().meters().setLevels({{"bus:main", 0.7f}, {kPlayer, 0.4f}});
    EXPECT_FLOAT_EQ(main.meter(), 0.7f);
    EXPECT_FLOAT_EQ(player.meter(), 0.4f);
    EXPECT_FLOAT_EQ(builder().stripModel(kRadio).meter(), 0.0f) << "a missing entry reads 0";
    for (const char* id : {"bus:phones", "system_output", "system_input"})
        EXPECT_FLOAT_EQ(builder().stripModel(id).meter(), 0.0f) << id;
}

TEST_F(StripModels, OutputMenusChooseTheDefaultOutputAndTellTheCompanionTheInputMenuDoesNot) {
    engine().companion().didConnect(kCompanion);
    const int before = appListsSent();
    for (const char* id : {"bus:main", "system_output"}) {
        EXPECT_EQ(titles(builder().stripModel(id)), QStringList({"SPK", "USB-4 ✓"})) << id;  // the monitor's order
    }
    entry(builder().stripModel("system_output"), "SPK").action();
    EXPECT_EQ(appListsSent(), before + 1);
    settle();
    EXPECT_EQ(engine().deviceMonitor().defaultDeviceID(), speakers);
    EXPECT_EQ(builder().stripModel("bus:main").routeText, "↳ SPK");
    EXPECT_EQ(titles(builder().stripModel("bus:main")), QStringList({"SPK ✓", "USB-4"}));

    // The input menu lists every input device, the 4-channel interface has none.
    StripModel input = builder().stripModel("system_input");
    EXPECT_EQ(titles(input), QStringList({"MIC ✓"}));
    hardware.setDefaultInputDevice(0);
    settle();
    input = builder().stripModel("system_input");
    EXPECT_EQ(input.routeText, "↳ no device");
    EXPECT_EQ(titles(input), QStringList({"MIC"}));
    const int sent = appListsSent();
    entry(input, "MIC").action();
    EXPECT_EQ(appListsSent(), sent);
    settle();
    EXPECT_EQ(engine().inputDeviceMonitor().defaultDeviceID(), microphone);
}

TEST_F(StripModels, WithoutAnOutputDeviceMainIsInactiveWhileOutputFollowsItsControl) {
    hardware.setDefaultOutputDevice(0);
    settle();
    const StripModel main = builder().stripModel("bus:main");
    EXPECT_FALSE(main.isActive);
    EXPECT_EQ(main.routeText, "↳ no device");
    EXPECT_EQ(titles(main), QStringList({"SPK", "USB-4"}));
    const StripModel output = builder().stripModel("system_output");
    EXPECT_EQ(output.isActive, engine().systemVolume().canSetVolume());
}

TEST_F(StripModels, PhonesStripFollowsThePhonesPair) {
    engine().phonesBusVolume().setVolume(0.6f);
    StripModel phones = builder().stripModel("bus:phones");
    ASSERT_TRUE(phones.toggleMute);
    phones.toggleMute();
    EXPECT_TRUE(builder().stripModel("bus:phones").isMuted);
    phones.toggleMute();

    hardware.setDefaultOutputDevice(speakers);  // two channels: no PHONES pair
    settle();
    phones = builder().stripModel("bus:phones");
    EXPECT_FLOAT_EQ(phones.volume, 0.0f);
    EXPECT_FALSE(phones.isActive);
    EXPECT_FALSE(phones.isMuted);
    EXPECT_FALSE(phones.toggleMute);
    phones.setVolume(0.1f);
    EXPECT_FLOAT_EQ(engine().phonesBusVolume().volume(), 0.6f);
}

// A PHONES level stored out of range (a hand-edited defaults file) is kept by its control.
class StoredPhonesLevel : public StripModels {
protected:
    void SetUp() override {
        defaults().setDouble("phonesBusVolume", 1.5);
        StripModels::SetUp();
    }
};

TEST_F(StoredPhonesLevel, TheStripShowsItWithinTheTravel) {
    EXPECT_EQ(builder().stripModel("bus:phones").volume, 1.0f);
}

TEST_F(StripModels, ApplicationRouteLineAndMenuFollowItsExplicitOutputs) {
    StripModel player = builder().stripModel(kPlayer);
    EXPECT_EQ(player.name, kPlayer);  // the running application's own name
    EXPECT_EQ(player.icon, "app");
    EXPECT_EQ(player.routeText, "→ MAIN");
    EXPECT_EQ(titles(player), QStringList({"MAIN (default) ✓", "SPK", "USB-4"}));

    entry(player, "SPK").action();
    entry(builder().stripModel(kPlayer), "USB-4").action();
    player = builder().stripModel(kPlayer);
    EXPECT_EQ(engine().outputDeviceUIDs(app(kPlayer)), QStringList({"SPK", "USB-4"}));
    EXPECT_EQ(player.routeText, "→ SPK + USB-4");
    EXPECT_EQ(titles(player), QStringList({"MAIN (default)", "SPK ✓", "USB-4 ✓"}));

    entry(player, "SPK").action();  // a marked entry removes its device
    EXPECT_EQ(engine().outputDeviceUIDs(app(kPlayer)), QStringList({"USB-4"}));

    hardware.removeDevice(interface);
    settle();
    EXPECT_EQ(builder().stripModel(kPlayer).routeText, "→ device") << "outputs no longer listed are left out";
    entry(builder().stripModel(kPlayer), "MAIN (default)").action();
    EXPECT_TRUE(engine().outputDeviceUIDs(app(kPlayer)).isEmpty());
}

TEST_F(StripModels, AnApplicationThatIsNotRunningKeepsAStripWithItsStoredLevels) {
    const QString tunebox = "com.example.tunebox";
    AppVolumeMap volumes = engine().volumes();
    volumes[tunebox] = AppVolume{0.3f, false, {}, true, 0.6f};
    engine().setVolumes(volumes);

    StripModel m = builder().stripModel(tunebox);
    EXPECT_EQ(m.name, "Tunebox");
    EXPECT_FALSE(m.isActive);
    EXPECT_FLOAT_EQ(m.volume, 0.6f) << "a cued strip shows its cue level";
    EXPECT_EQ(m.routeText, std::nullopt);
    EXPECT_TRUE(m.routeItems.empty());
    EXPECT_FALSE(m.toggleMute || m.toggleSolo);
    EXPECT_EQ(m.resetValue, 1.0f);
    EXPECT_EQ(m.midiTarget, tunebox);
    EXPECT_EQ(m.cueMIDITarget, "cue:" + tunebox);
    m.setVolume(0.1f);
    EXPECT_EQ(engine().volumes().at(tunebox).cueVolume, 0.6f) << "its fader does nothing";
    ASSERT_TRUE(m.toggleCue);
    m.toggleCue();
    EXPECT_FALSE(engine().volumes().at(tunebox).isCued);
    m = builder().stripModel(tunebox);
    EXPECT_FALSE(m.toggleCue) << "once un-cued there is nothing left to cue";
    EXPECT_EQ(m.cueMIDITarget, std::nullopt);
}

TEST_F(StripModels, CueNeedsAPhonesPairAndACuedFaderMovesTheCueLevel) {
    hardware.setDefaultOutputDevice(speakers);
    settle();
    StripModel player = builder().stripModel(kPlayer);
    EXPECT_FALSE(player.toggleCue);
    EXPECT_EQ(player.cueMIDITarget, std::nullopt);

    hardware.setDefaultOutputDevice(interface);
    settle();
    player = builder().stripModel(kPlayer);
    ASSERT_TRUE(player.toggleCue);
    EXPECT_EQ(player.cueMIDITarget, "cue:" + kPlayer);
    player.setVolume(0.8f);
    player.toggleCue();
    player = builder().stripModel(kPlayer);
    EXPECT_TRUE(player.isCued);
    EXPECT_FLOAT_EQ(player.volume, 1.0f);
    player.setVolume(0.25f);
    EXPECT_FLOAT_EQ(engine().volumes().at(kPlayer).cueVolume, 0.25f);
    EXPECT_FLOAT_EQ(engine().volumes().at(kPlayer).volume, 0.8f);
}

TEST_F(StripModels, MuteAndSoloReachTheEngineAndASoloedAppThatQuitsCanBeReleased) {
    StripModel player = builder().stripModel(kPlayer);
    player.toggleMute();
    EXPECT_TRUE(builder().stripModel(kPlayer).isMuted);
    player.toggleSolo();
    EXPECT_EQ(engine().soloed(), std::set<QString>({kPlayer}));
    EXPECT_TRUE(builder().stripModel(kPlayer).isSoloed);

    quitApp(101, playerProcess);
    settle();
    player = builder().stripModel(kPlayer);
    EXPECT_FALSE(player.isActive);
    EXPECT_FALSE(player.toggleMute);
    ASSERT_TRUE(player.toggleSolo) << "the solo of a source that went away can still be released";
    player.toggleSolo();
    EXPECT_TRUE(engine().soloed().empty());
    EXPECT_FALSE(builder().stripModel(kPlayer).toggleSolo);
}

TEST(StripModelNames, AnAppThatIsNotRunningIsNamedAfterTheLastPieceOfItsIdentifier) {
    const std::pair<QString, QString> cases[] = {
        {"com.example.tunebox", "Tunebox"},
        {"com.example.tuneBOX", "Tunebox"},
        {"com.example.my app", "My App"},
        {"com.example.", "Example"},
        {"tunebox", "Tunebox"},
        {"...", "..."},
        {"", ""},
        {QString::fromUcs4(U"com.x.\U0001D4B6bc"), QString::fromUcs4(U"\U0001D4B6bc")},  // a surrogate pair kept whole
    };
    for (const auto& [id, name] : cases) EXPECT_EQ(StripModelBuilder::automaticAppName(id), name) << qPrintable(id);
}

TEST_F(StripModels, StyleSetsTargetNameColourAndGroup) {
    setStyle(kPlayer, {QString(""), 9, std::nullopt});
    setStyle(kRadio, {QString("News"), std::nullopt, QString("B")});
    const StripModel player = model(kPlayer);
    EXPECT_EQ(player.targetID, kPlayer);
    EXPECT_EQ(player.name, kPlayer) << "an empty name keeps the automatic one";
    EXPECT_EQ(player.colorIndex, 9);
    EXPECT_EQ(player.group, std::nullopt);
    const StripModel radio = model(kRadio);
    EXPECT_EQ(radio.name, "News");
    EXPECT_EQ(radio.colorIndex, std::nullopt);
    EXPECT_EQ(radio.group, "B");
    EXPECT_EQ(model("bus:main").targetID, "bus:main");
}

// Grouped faders: a player and a radio in group A on the console.
class GroupedFaders : public StripModels {
protected:
    void SetUp() override {
        StripModels::SetUp();
        engine().setSlot(kPlayer, 2);
        engine().setSlot(kRadio, 3);
        setStyle(kPlayer, {std::nullopt, std::nullopt, QString("A")});
        setStyle(kRadio, {std::nullopt, std::nullopt, QString("A")});
    }
    void levels(float player, float radio) {
        engine().setVolume(player, app(kPlayer));
        engine().setVolume(radio, app(kRadio));
    }
};

TEST_F(GroupedFaders, PartnersMoveByTheOwnMoveLimitedToTheTravel) {
    struct Case {
        float player, radio, to, radioAfter;
    };
    const Case cases[] = {
        {0.4f, 0.9f, 0.6f, 1.0f},  // +0.2, limited
        {0.5f, 0.3f, 0.0f, 0.0f},  // -0.5, raised to 0
        {0.5f, 0.3f, 0.6f, 0.4f},
    };
    for (const Case& c : cases) {
        levels(c.player, c.radio);
        model(kPlayer).setVolume(c.to);
        EXPECT_FLOAT_EQ(level(kPlayer), c.to);
        EXPECT_NEAR(level(kRadio), c.radioAfter, 1e-6) << c.player << " to " << c.to;
    }
}

TEST_F(GroupedFaders, TheDeltaIsWhatTheOwnSetterMovedAtTheCall) {
    levels(0.4f, 0.5f);
    const StripModel stale = model(kPlayer);  // built at 0.4
    engine().setVolume(0.5f, app(kPlayer));   // moved elsewhere since
    stale.setVolume(0.6f);
    EXPECT_NEAR(level(kRadio), 0.6f, 1e-6) << "moved by 0.1, not by 0.2 from the level the model was built at";

    stale.setVolume(0.6f);
    EXPECT_NEAR(level(kRadio), 0.6f, 1e-6) << "a setter that changes nothing moves nobody";
}

TEST_F(GroupedFaders, PartnersOffTheShownSlotsOrNotRunningStayWhereTheyAre) {
    levels(0.4f, 0.5f);
    engine().setSlot(QString(), 3);
    engine().setSlot(kRadio, 9);  // beyond the 8 strips shown
    model(kPlayer).setVolume(0.5f);
    EXPECT_FLOAT_EQ(level(kRadio), 0.5f);
    defaults().setInteger(kConsoleStripsKey, 16);
    model(kPlayer).setVolume(0.6f);
    EXPECT_NEAR(level(kRadio), 0.6f, 1e-6) << "shown once the console has 16 strips";

    quitApp(102, radioProcess);
    settle();
    model(kPlayer).setVolume(0.7f);
    EXPECT_NEAR(level(kRadio), 0.6f, 1e-6) << "an inactive partner is left alone";
}

TEST_F(GroupedFaders, AnInactiveStripMovesNobody) {
    levels(0.4f, 0.5f);
    quitApp(101, playerProcess);
    settle();
    model(kPlayer).setVolume(0.9f);
    EXPECT_FLOAT_EQ(level(kPlayer), 0.4f);
    EXPECT_FLOAT_EQ(level(kRadio), 0.5f);
}

TEST_F(GroupedFaders, MainAndOutputDriveOneControlSoNeitherMovesTheOther) {
    engine().setSlot("system_output", 4);
    for (const char* id : {"bus:main", "system_output", "bus:phones"}) setStyle(id, {std::nullopt, std::nullopt, QString("A")});
    engine().systemVolume().setVolume(0.5f);
    engine().phonesBusVolume().setVolume(0.5f);
    levels(0.5f, 0.5f);
    model("bus:main").setVolume(0.7f);
    EXPECT_FLOAT_EQ(engine().systemVolume().volume(), 0.7f) << "moved once, not again as Output's partner move";
    EXPECT_NEAR(engine().phonesBusVolume().volume(), 0.7f, 1e-6);
    EXPECT_NEAR(level(kPlayer), 0.7f, 1e-6);
    EXPECT_NEAR(level(kRadio), 0.7f, 1e-6);
}

TEST_F(StripModels, ClosuresDoNothingOnceTheEngineIsGone) {
    auto other = std::make_unique<MixerEngine>(
        MixerEngine::Platform{running, bluetooth, [](std::function<void()> job) { job(); }, nullptr}, defaults());
    other->setBlockingWait([](double) {});
    other->start();
    settle();
    StripModelBuilder otherBuilder(*other, defaults());
    std::vector<StripModel> models;
    for (const QString& id : {QString("bus:main"), QString("bus:phones"), QString("system_output"),
                              QString("system_input"), kPlayer})
        models.push_back(otherBuilder.model(id));
    ASSERT_TRUE(models.back().isActive);
    other.reset();
    for (const StripModel& m : models) {
        m.setVolume(0.5f);
        EXPECT_EQ(m.meter(), 0.0f);
        for (const auto& toggle : {m.toggleCue, m.toggleMute, m.toggleSolo})
            if (toggle) toggle();
        for (const RouteItem& item : m.routeItems) item.action();
    }
    EXPECT_TRUE(otherBuilder.model(kPlayer).name.isEmpty());
}

TEST_F(StripModels, StripsRebuildOncePerBurstOfWhatTheyReadAndNeverForAMeterLevel) {
    MIDIMappingManager mappings(defaults());
    int rebuilds = 0;
    ViewRefresh refresh([&] { ++rebuilds; });
    watchStripModelSources(refresh, engine(), &mappings);
    settle();
    rebuilds = 0;
    settle();
    ASSERT_EQ(rebuilds, 0) << "a quiet world, its meters running, rebuilds nothing";
    const std::pair<const char*, std::function<void()>> changes[] = {
        {"slot", [&] { engine().setSlot(kPlayer, 5); }},
        {"style", [&] { setStyle(kPlayer, {QString("Mix"), std::nullopt, std::nullopt}); }},
        {"application level", [&] { engine().setVolume(0.3f, app(kPlayer)); }},
        {"solo", [&] { engine().applySolo(true, kPlayer); }},
        {"system volume", [&] { engine().systemVolume().setVolume(0.2f); }},
        {"input volume", [&] { engine().inputVolume().setVolume(0.3f); }},
        {"phones mute", [&] { engine().phonesBusVolume().toggleMute(); }},
        {"bus pairing", [&] { engine().setBusPairing({2, 0}, "USB-4"); }},
        {"default output", [&] { hardware.setDefaultOutputDevice(speakers); }},
        {"default input", [&] { hardware.setDefaultInputDevice(0); }},
        {"MIDI learn", [&] { mappings.setLearningTarget(QString("bus:main")); }},
        {"MIDI mapping", [&] { mappings.assign(7, std::nullopt, "bus:main"); }},
        {"application quits", [&] { quitApp(102, radioProcess); }},
    };
    for (const auto& [what, change] : changes) {
        settle();
        rebuilds = 0;
        change();
        settle();
        EXPECT_GE(rebuilds, 1) << what;
    }
    settle();
    rebuilds = 0;
    engine().meters().setLevels({{"bus:main", 0.5f}});
    engine().setVolume(0.6f, app(kPlayer));
    engine().applySolo(false, kPlayer);
    engine().systemVolume().setVolume(0.9f);
    scheduler().runPending();
    EXPECT_EQ(rebuilds, 1);
    rebuilds = 0;
    engine().meters().setLevels({{"bus:main", 0.25f}});
    scheduler().runPending();
    EXPECT_EQ(rebuilds, 0);
}

TEST(StoredStripCount, OnlyEightOrSixteenCount) {
    UserDefaults store;
    EXPECT_EQ(storedStripCount(store), 8);
    const std::pair<QVariant, int> cases[] = {{8, 8}, {16, 16}, {0, 8}, {12, 8}, {32, 8}, {-8, 8},
                                              {QString("sixteen"), 8}, {true, 8}};
    for (const auto& [stored, count] : cases) {
        store.setValue(kConsoleStripsKey, stored);
        EXPECT_EQ(storedStripCount(store), count) << qPrintable(stored.toString());
    }
}

}  // namespace
}  // namespace quellor::test
