// The MAIN and PHONES cards as logic: what each shows for the default output, the pair choices of a
// multichannel interface, the level rows, the TotalMix button and MIDI learn.
#include <gtest/gtest.h>

#include "PanelsFixture.h"
#include "audio/SystemVolumeController.h"
#include "ui/panels/OutputBusCards.h"
#include "ui/panels/PanelMIDI.h"

namespace quellor::test {
namespace {

class OutputBusCardsTest : public PanelsFixture {
protected:
    MainBusCardModel mainCard(std::optional<OutputBus> target = std::nullopt) {
        return MainBusCardModel::of(engine(), mappings, target);
    }
    PhonesBusCardModel phonesCard() { return PhonesBusCardModel::of(engine(), mappings); }
    static QStringList titles(const MenuModel& menu) {
        QStringList out;
        for (const MenuItem& item : menu) out << (item.kind == MenuItem::Kind::Separator ? "-" : item.title);
        return out;
    }
    static QStringList labels(const BusPairPicker& picker) {
        QStringList out;
        for (const auto& pair : picker.pairs) out << pair.label();
        return out;
    }
};

TEST(LevelRowTest, FollowsWhatTheControlCanDo) {
    struct Case { bool canSet, canMute, muted; bool enabled; double opacity; const char* note; bool taps; const char* icon; };
    const Case cases[] = {
        {true, true, false, true, 1.0, "", true, "speaker.wave.3.fill"},
        {false, true, true, false, 0.4, "Volume is controlled on the device", true, "speaker.slash.fill"},
        {true, false, false, true, 1.0, "", false, "speaker.wave.3.fill"},
    };
    for (const Case& c : cases) {
        FakeVolume control(c.canSet, c.canMute);
        if (c.muted) control.toggleMute();
        const LevelRowModel row = LevelRowModel::of(control);
        SCOPED_TRACE(testing::Message() << c.canSet << c.canMute << c.muted);
        EXPECT_FLOAT_EQ(row.volume, 0.25f);
        EXPECT_EQ(row.enabled, c.enabled);
        EXPECT_DOUBLE_EQ(row.opacity(), c.opacity);
        EXPECT_EQ(row.note(), c.note);
        EXPECT_EQ(row.iconTaps, c.taps);
        EXPECT_EQ(row.icon(), c.icon);
        EXPECT_EQ(row.iconDimmed(), c.muted);
    }
}

TEST_F(OutputBusCardsTest, AStereoDefaultShowsTheMainDeviceAndThePhonesPlaceholder) {
    makeDefault(speakers);
    const MainBusCardModel main = mainCard();
    ASSERT_TRUE(main.device);
    EXPECT_EQ(main.device->name, "SPK");
    EXPECT_EQ(main.device->symbol, "hifispeaker") << "without a symbol lookup";
    EXPECT_TRUE(main.level.enabled);
    EXPECT_EQ(main.level, LevelRowModel::of(engine().systemVolume()));
    const PhonesBusCardModel phones = phonesCard();
    EXPECT_TRUE(phones.isPlaceholder);
    EXPECT_TRUE(phones.pickers.empty());
    EXPECT_FALSE(phones.level);
    EXPECT_FALSE(phones.showsTotalMixButton);

    const auto symbol = MainBusCardModel::of(engine(), mappings, std::nullopt,
                                             [](const AudioDevice& d, bool isInput, const auto& bluetooth) {
                                                 return QString("%1/%2/%3").arg(d.uid).arg(isInput).arg(bool(bluetooth));
                                             });
    EXPECT_EQ(symbol.device->symbol, "SPK/0/0");
}

TEST_F(OutputBusCardsTest, WithoutADefaultOutputMainShowsTheNameTheSystemVolumeFollows) {
    makeDefault(0);
    const MainBusCardModel main = mainCard();
    EXPECT_FALSE(main.device);
    EXPECT_EQ(main.fallbackName, engine().systemVolume().deviceName());
    EXPECT_FALSE(main.fallbackName.isEmpty());
    EXPECT_TRUE(phonesCard().isPlaceholder);
}

TEST_F(OutputBusCardsTest, OnlyADragOverMainShowsTheDropHint) {
    EXPECT_TRUE(mainCard(OutputBus::Main).showsDropHint);
    EXPECT_FALSE(mainCard(OutputBus::Phones).showsDropHint);
    EXPECT_FALSE(mainCard().showsDropHint);
    EXPECT_EQ(MainBusCardModel::kDropHint, "Drop to make this the main output");
}

TEST_F(OutputBusCardsTest, AMultichannelDefaultOffersEveryStereoPairAndAnAlwaysSettablePhonesLevel) {
    struct Case { int channels; QStringList pairs; };
    for (const Case& c : {Case{4, {"1/2", "3/4"}}, Case{5, {"1/2", "3/4"}}, Case{6, {"1/2", "3/4", "5/6"}}}) {
        const AudioObjectID device = addOutputDevice(QString("IF-%1").arg(c.channels), c.channels);
        makeDefault(device);
        const PhonesBusCardModel phones = phonesCard();
        SCOPED_TRACE(c.channels);
        ASSERT_FALSE(phones.isPlaceholder);
        EXPECT_EQ(phones.deviceName, QString("IF-%1").arg(c.channels));
        ASSERT_EQ(phones.pickers.size(), 2u);
        EXPECT_EQ(phones.pickers[0].title(), "MAIN");
        EXPECT_EQ(phones.pickers[0].currentLabel(), "1/2");
        EXPECT_EQ(phones.pickers[0].help(), "Which output pair carries MAIN");
        EXPECT_EQ(phones.pickers[1].title(), "PHONES");
        EXPECT_EQ(phones.pickers[1].currentLabel(), "3/4");
        EXPECT_EQ(phones.pickers[1].help(), "Which output pair carries PHONES");
        for (const auto& picker : phones.pickers) {
            EXPECT_EQ(labels(picker), c.pairs);
            const MenuModel menu = busPairMenu(engine(), phones.deviceUID, picker);
            EXPECT_EQ(titles(menu), c.pairs);
            for (const MenuItem& item : menu) EXPECT_FALSE(item.checkable);
        }
        ASSERT_TRUE(phones.level);
        EXPECT_TRUE(phones.level->enabled);
        EXPECT_TRUE(phones.level->iconTaps);
        EXPECT_FALSE(phones.showsTotalMixButton);
    }
}

TEST_F(OutputBusCardsTest, ChoosingAPairStoresItOnceAndRestartsTheTapsWhileThePairInUseChangesNothing) {
    const AudioObjectID device = addOutputDevice("IF-8", 8);
    makeDefault(device);
    countPairingStores();
    const AudioObjectID before = tapAggregate(kPlayer);
    ASSERT_NE(before, 0u);

    EXPECT_FALSE(chooseBusPair(engine(), "IF-8", OutputBus::Phones, 2)) << "PHONES plays on 3/4 already";
    EXPECT_FALSE(chooseBusPair(engine(), "IF-8", OutputBus::Main, 0));
    settle();
    EXPECT_EQ(pairingStores(), 0);
    EXPECT_EQ(tapAggregate(kPlayer), before) << "no tap restarted";

    const PhonesBusCardModel card = phonesCard();
    findMenuItem(busPairMenu(engine(), card.deviceUID, card.pickers[1]), "5/6")->action();
    settle();
    EXPECT_EQ(pairingStores(), 1);
    EXPECT_EQ(engine().busPairings().at("IF-8"), (MixerEngine::BusPairing{0, 4}));
    EXPECT_NE(tapAggregate(kPlayer), before);
    EXPECT_EQ(phonesCard().pickers[1].currentLabel(), "5/6");
}

TEST_F(OutputBusCardsTest, MainTakingThePhonesPairStoresEqualOffsetsAndTheMenusShowTheResolvedPairs) {
    makeDefault(addOutputDevice("IF-6", 6));
    EXPECT_TRUE(chooseBusPair(engine(), "IF-6", OutputBus::Main, 2));
    EXPECT_EQ(engine().busPairings().at("IF-6"), (MixerEngine::BusPairing{2, 2}));
    const PhonesBusCardModel phones = phonesCard();
    EXPECT_EQ(phones.pickers[0].currentLabel(), "3/4");
    EXPECT_EQ(phones.pickers[1].currentLabel(), "1/2") << "the engine moves PHONES to the lowest other pair";
}

TEST_F(OutputBusCardsTest, AChoiceForAnotherDeviceOrNoPairOfTheDeviceChangesNothing) {
    countPairingStores();
    EXPECT_FALSE(chooseBusPair(engine(), "SPK", OutputBus::Phones, 0)) << "not the default output";
    EXPECT_FALSE(chooseBusPair(engine(), "USB-4", OutputBus::Phones, 4)) << "a four-channel device has no 5/6";
    EXPECT_FALSE(chooseBusPair(engine(), "USB-4", OutputBus::Phones, 1)) << "pairs start on even channels";
    makeDefault(speakers);
    EXPECT_FALSE(chooseBusPair(engine(), "SPK", OutputBus::Main, 0)) << "no PHONES layout";
    EXPECT_EQ(pairingStores(), 0);
    EXPECT_TRUE(engine().busPairings().empty());
}

TEST_F(OutputBusCardsTest, TheTotalMixButtonNeedsATotalMixInterfaceWithAPhonesLayout) {
    struct Case { const char* uid; int channels; bool button; };
    for (const Case& c : {Case{"RMEUSBDevice:1", 4, true}, Case{"Fireface UCX", 8, true}, Case{"RMEUSBDevice:2", 2, false},
                          Case{"Other-4", 4, false}}) {
        makeDefault(addOutputDevice(c.uid, c.channels));
        EXPECT_EQ(phonesCard().showsTotalMixButton, c.button) << c.uid;
    }
    EXPECT_EQ(PhonesBusCardModel::totalMixHelp(),
              "Writes TotalMix's default routing for Quellor: MAIN playback to the monitors only, PHONES playback to "
              "the phones jack only. Enable OSC control in TotalMix first (Options → Settings → OSC, port 7001).");
}

TEST_F(OutputBusCardsTest, LearningMovesBetweenTheCardsAndAMappingCanBeClearedFromTheMenu) {
    findMenuItem(busCardMenu(OutputBus::Main, mappings), "Learn MIDI fader")->action();
    EXPECT_EQ(panelBadgeText(mainCard().badge), "• Learn MIDI...");
    EXPECT_EQ(titles(busCardMenu(OutputBus::Main, mappings)), QStringList{"Learning MIDI... (Move fader now)"});

    findMenuItem(busCardMenu(OutputBus::Phones, mappings), "Learn MIDI fader")->action();
    EXPECT_FALSE(mainCard().badge.isShown());
    EXPECT_EQ(panelBadgeText(phonesCard().badge), "• Learn MIDI...");

    mappings.assign(7, std::nullopt, "bus:phones");
    mappings.setLearningTarget(std::nullopt);
    EXPECT_EQ(panelBadgeText(phonesCard().badge), "CC 7");
    EXPECT_EQ(titles(busCardMenu(OutputBus::Phones, mappings)),
              (QStringList{"Re-learn MIDI fader", "Clear MIDI Mapping"}));
    findMenuItem(busCardMenu(OutputBus::Phones, mappings), "Clear MIDI Mapping")->action();
    EXPECT_FALSE(phonesCard().badge.isShown());
    EXPECT_EQ(titles(busCardMenu(OutputBus::Phones, mappings)), QStringList{"Learn MIDI fader"});
}

}  // namespace
}  // namespace quellor::test
