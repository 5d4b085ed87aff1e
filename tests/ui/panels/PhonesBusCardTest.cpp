// The PHONES card as logic: the pair choices of a multichannel interface, the PHONES level and the
// TotalMix button.
#include <gtest/gtest.h>

#include "PanelsFixture.h"
#include "ui/panels/PhonesBusCard.h"

namespace quellor::test {
namespace {

class PhonesBusCardTest : public PanelsFixture {
protected:
    PhonesBusCard phonesCard() { return PhonesBusCard::of(engine(), mappings); }
    static QStringList labels(const BusPairPicker& picker) {
        QStringList out;
        for (const auto& pair : picker.pairs) out << pair.label();
        return out;
    }
};

TEST_F(PhonesBusCardTest, AMultichannelDefaultOffersEveryStereoPairAndAnAlwaysSettablePhonesLevel) {
    struct Case { int channels; QStringList pairs; };
    for (const Case& c : {Case{4, {"1/2", "3/4"}}, Case{5, {"1/2", "3/4"}}, Case{6, {"1/2", "3/4", "5/6"}}}) {
        const AudioObjectID device = addOutputDevice(QString("IF-%1").arg(c.channels), c.channels);
        makeDefault(device);
        const PhonesBusCard phones = phonesCard();
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
            EXPECT_EQ(menuTitles(menu), c.pairs);
            for (const MenuItem& item : menu) EXPECT_FALSE(item.checkable);
        }
        ASSERT_TRUE(phones.level);
        EXPECT_TRUE(phones.level->enabled);
        EXPECT_TRUE(phones.level->iconTaps);
        EXPECT_FALSE(phones.showsTotalMixButton);
    }
}

TEST_F(PhonesBusCardTest, ChoosingAPairStoresItOnceAndRestartsTheTapsWhileThePairInUseChangesNothing) {
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

    const PhonesBusCard card = phonesCard();
    findMenuItem(busPairMenu(engine(), card.deviceUID, card.pickers[1]), "5/6")->action();
    settle();
    EXPECT_EQ(pairingStores(), 1);
    EXPECT_EQ(engine().busPairings().at("IF-8"), (MixerEngine::BusPairing{0, 4}));
    EXPECT_NE(tapAggregate(kPlayer), before);
    EXPECT_EQ(phonesCard().pickers[1].currentLabel(), "5/6");
}

TEST_F(PhonesBusCardTest, MainTakingThePhonesPairStoresEqualOffsetsAndTheMenusShowTheResolvedPairs) {
    makeDefault(addOutputDevice("IF-6", 6));
    EXPECT_TRUE(chooseBusPair(engine(), "IF-6", OutputBus::Main, 2));
    EXPECT_EQ(engine().busPairings().at("IF-6"), (MixerEngine::BusPairing{2, 2}));
    const PhonesBusCard phones = phonesCard();
    EXPECT_EQ(phones.pickers[0].currentLabel(), "3/4");
    EXPECT_EQ(phones.pickers[1].currentLabel(), "1/2") << "the engine moves PHONES to the lowest other pair";
}

TEST_F(PhonesBusCardTest, AChoiceForAnotherDeviceOrNoPairOfTheDeviceChangesNothing) {
    countPairingStores();
    EXPECT_FALSE(chooseBusPair(engine(), "SPK", OutputBus::Phones, 0)) << "not the default output";
    EXPECT_FALSE(chooseBusPair(engine(), "USB-4", OutputBus::Phones, 4)) << "a four-channel device has no 5/6";
    EXPECT_FALSE(chooseBusPair(engine(), "USB-4", OutputBus::Phones, 1)) << "pairs start on even channels";
    makeDefault(speakers);
    EXPECT_FALSE(chooseBusPair(engine(), "SPK", OutputBus::Main, 0)) << "no PHONES layout";
    EXPECT_EQ(pairingStores(), 0);
    EXPECT_TRUE(engine().busPairings().empty());
}

TEST_F(PhonesBusCardTest, TheTotalMixButtonNeedsATotalMixInterfaceWithAPhonesLayout) {
    struct Case { const char* uid; int channels; bool button; };
    for (const Case& c : {Case{"RMEUSBDevice:1", 4, true}, Case{"Fireface UCX", 8, true}, Case{"RMEUSBDevice:2", 2, false},
                          Case{"Other-4", 4, false}}) {
        makeDefault(addOutputDevice(c.uid, c.channels));
        EXPECT_EQ(phonesCard().showsTotalMixButton, c.button) << c.uid;
    }
    EXPECT_EQ(PhonesBusCard::totalMixHelp(),
              "Writes TotalMix's default routing for Quellor: MAIN playback to the monitors only, PHONES playback to "
              "the phones jack only. Enable OSC control in TotalMix first (Options → Settings → OSC, port 7001).");
}

}  // namespace
}  // namespace quellor::test
