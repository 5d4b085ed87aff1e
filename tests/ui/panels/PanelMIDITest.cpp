// MIDI learn on the bus cards: learning moves between the cards, and a mapping can be cleared from
// the card's menu.
#include <gtest/gtest.h>

#include "PanelsFixture.h"
#include "ui/panels/MainBusCard.h"
#include "ui/panels/PanelMIDI.h"
#include "ui/panels/PhonesBusCard.h"

namespace quellor::test {
namespace {

class PanelMIDITest : public PanelsFixture {
protected:
    MainBusCard mainCard() { return MainBusCard::of(engine(), mappings, std::nullopt); }
    PhonesBusCard phonesCard() { return PhonesBusCard::of(engine(), mappings); }
};

TEST_F(PanelMIDITest, LearningMovesBetweenTheCardsAndAMappingCanBeClearedFromTheMenu) {
    findMenuItem(busCardMenu(OutputBus::Main, mappings), "Learn MIDI fader")->action();
    EXPECT_EQ(panelBadgeText(mainCard().badge), "• Learn MIDI...");
    EXPECT_EQ(menuTitles(busCardMenu(OutputBus::Main, mappings)), QStringList{"Learning MIDI... (Move fader now)"});

    findMenuItem(busCardMenu(OutputBus::Phones, mappings), "Learn MIDI fader")->action();
    EXPECT_FALSE(mainCard().badge.isShown());
    EXPECT_EQ(panelBadgeText(phonesCard().badge), "• Learn MIDI...");

    mappings.assign(7, std::nullopt, "bus:phones");
    mappings.setLearningTarget(std::nullopt);
    EXPECT_EQ(panelBadgeText(phonesCard().badge), "CC 7");
    EXPECT_EQ(menuTitles(busCardMenu(OutputBus::Phones, mappings)),
              (QStringList{"Re-learn MIDI fader", "Clear MIDI Mapping"}));
    findMenuItem(busCardMenu(OutputBus::Phones, mappings), "Clear MIDI Mapping")->action();
    EXPECT_FALSE(phonesCard().badge.isShown());
    EXPECT_EQ(menuTitles(busCardMenu(OutputBus::Phones, mappings)), QStringList{"Learn MIDI fader"});
}

}  // namespace
}  // namespace quellor::test
