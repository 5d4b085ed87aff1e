// The MAIN card as logic: what it shows for the default output (and, without one, for the system
// volume), with the PHONES card's placeholder beside a stereo default, and the drop hint.
#include <gtest/gtest.h>

#include "PanelsFixture.h"
#include "audio/SystemVolumeController.h"
#include "ui/panels/MainBusCard.h"
#include "ui/panels/PhonesBusCard.h"

namespace quellor::test {
namespace {

class MainBusCardTest : public PanelsFixture {
protected:
    MainBusCard mainCard(std::optional<OutputBus> target = std::nullopt) {
        return MainBusCard::of(engine(), mappings, target);
    }
    PhonesBusCard phonesCard() { return PhonesBusCard::of(engine(), mappings); }
};

TEST_F(MainBusCardTest, AStereoDefaultShowsTheMainDeviceAndThePhonesPlaceholder) {
    makeDefault(speakers);
    const MainBusCard main = mainCard();
    ASSERT_TRUE(main.device);
    EXPECT_EQ(main.device->name, "SPK");
    EXPECT_EQ(main.device->symbol, "hifispeaker") << "without a symbol lookup";
    EXPECT_TRUE(main.level.enabled);
    EXPECT_EQ(main.level, LevelRow::of(engine().systemVolume()));
    const PhonesBusCard phones = phonesCard();
    EXPECT_TRUE(phones.isPlaceholder);
    EXPECT_TRUE(phones.pickers.empty());
    EXPECT_FALSE(phones.level);
    EXPECT_FALSE(phones.showsTotalMixButton);

    const auto symbol = MainBusCard::of(engine(), mappings, std::nullopt,
                                        [](const AudioDevice& d, bool isInput, const auto& bluetooth) {
                                            return QString("%1/%2/%3").arg(d.uid).arg(isInput).arg(bool(bluetooth));
                                        });
    EXPECT_EQ(symbol.device->symbol, "SPK/0/0");
}

TEST_F(MainBusCardTest, WithoutADefaultOutputMainShowsTheNameTheSystemVolumeFollows) {
    makeDefault(0);
    const MainBusCard main = mainCard();
    EXPECT_FALSE(main.device);
    EXPECT_EQ(main.fallbackName, engine().systemVolume().deviceName());
    EXPECT_FALSE(main.fallbackName.isEmpty());
    EXPECT_TRUE(phonesCard().isPlaceholder);
}

TEST_F(MainBusCardTest, OnlyADragOverMainShowsTheDropHint) {
    EXPECT_TRUE(mainCard(OutputBus::Main).showsDropHint);
    EXPECT_FALSE(mainCard(OutputBus::Phones).showsDropHint);
    EXPECT_FALSE(mainCard().showsDropHint);
    EXPECT_EQ(MainBusCard::kDropHint, "Drop to make this the main output");
}

}  // namespace
}  // namespace quellor::test
