// The meter-source and strip-count cards: what each switch shows for a stored value and what a flip
// stores.
#include <gtest/gtest.h>

#include "TestEnvironment.h"
#include "ui/settings/SettingCardLook.h"
#include "ui/settings/SettingCards.h"

namespace quellor {
namespace {

class SettingCardsTest : public test::QuellorTest {};

TEST_F(SettingCardsTest, MeterSourceSwitch) {
    struct Case {
        std::optional<QString> stored;
        bool post;
    };
    const Case cases[] = {{std::nullopt, true}, {"post", true}, {"pre", false}, {"PRE", true}, {"side", true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored.value_or("absent").toStdString());
        defaults().remove("meterSource");
        if (c.stored) defaults().setString("meterSource", *c.stored);
        const auto options = meterSourceSwitch(defaults(), palette(ThemeMode::Studio));
        EXPECT_EQ(options.isRight, c.post);
        EXPECT_EQ(options.label, c.post ? "Meter source: POST. Switch to PRE" : "Meter source: PRE. Switch to POST");
        EXPECT_EQ(options.identifier, "meter-source");
        EXPECT_EQ(options.rightLamp, palette(ThemeMode::Studio).brand);
        options.set(!c.post);
        EXPECT_EQ(defaults().stringOr("meterSource", ""), c.post ? "pre" : "post");
    }
}

TEST_F(SettingCardsTest, StripCountSwitch) {
    struct Case {
        std::optional<qint64> stored;
        bool sixteen;
    };
    const Case cases[] = {{std::nullopt, false}, {8, false}, {16, true}, {12, false}, {0, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored.value_or(-1));
        defaults().remove("consoleStrips");
        if (c.stored) defaults().setInteger("consoleStrips", *c.stored);
        const auto options = stripCountSwitch(defaults(), palette(ThemeMode::Booth));
        EXPECT_EQ(options.isRight, c.sixteen);
        EXPECT_EQ(options.label, c.sixteen ? "Fader mode: 16 strips. Switch to 8" : "Fader mode: 8 strips. Switch to 16");
        EXPECT_EQ(options.identifier, "strip-count");
        options.set(!c.sixteen);
        EXPECT_EQ(defaults().integerOr("consoleStrips", 0), c.sixteen ? 8 : 16);
    }
}

TEST(SettingCardIcons, ShapesStandInTheTwelvePointIcon) {
    const auto meter = SettingCardLook::meterIcon();
    ASSERT_EQ(meter.size(), 4u);
    for (const auto& bar : meter) EXPECT_DOUBLE_EQ(bar.rect.bottom(), 12);
    EXPECT_DOUBLE_EQ(meter[2].rect.height(), 12);
    EXPECT_DOUBLE_EQ(SettingCardLook::iconWidth(meter), 14);

    const auto strips = SettingCardLook::stripIcon();
    ASSERT_EQ(strips.size(), 6u);  // track and knob of three faders
    const double knobOffsets[] = {-3, 2, -1};
    for (int i = 0; i < 3; ++i) EXPECT_DOUBLE_EQ(strips[size_t(2 * i + 1)].rect.center().y() - 6, knobOffsets[i]);
    EXPECT_DOUBLE_EQ(SettingCardLook::iconWidth(strips), 21);
}

}  // namespace
}  // namespace quellor
