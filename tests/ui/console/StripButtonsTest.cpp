// The CUE, SOLO and MUTE buttons of strips on the simulated world.
#include "ConsoleFixture.h"
#include "ui/console/ConsoleColors.h"
#include "ui/console/StripButtons.h"

namespace quellor::test {
namespace {

using Role = StripButton::Role;

class StripButtons : public ConsoleFixture {
protected:
    std::vector<Role> roles(const QString& id) {
        std::vector<Role> out;
        for (const StripButton& b : stripButtons(model(id), ThemeMode::Booth)) out.push_back(b.role);
        return out;
    }
    void dropPhonesPair() {
        hardware.setDefaultOutputDevice(speakers);
        settle();
    }
};

TEST_F(StripButtons, EachSourceOffersTheButtonsOfItsActions) {
    EXPECT_EQ(roles("bus:main"), std::vector<Role>{});
    EXPECT_EQ(roles("system_output"), std::vector<Role>{});
    EXPECT_EQ(roles("system_input"), std::vector<Role>{});
    EXPECT_EQ(roles("bus:phones"), std::vector<Role>({Role::Mute}));
    EXPECT_EQ(roles(kPlayer), std::vector<Role>({Role::Cue, Role::Solo, Role::Mute}));
    dropPhonesPair();
    EXPECT_EQ(roles(kPlayer), std::vector<Role>({Role::Solo, Role::Mute})) << "no cue without a PHONES pair";
    EXPECT_EQ(roles("bus:phones"), std::vector<Role>{});
}

TEST_F(StripButtons, FacesShowTheStateTheModelWasBuiltWithAndClicksReachTheEngine) {
    std::vector<StripButton> buttons = stripButtons(model(kPlayer), ThemeMode::Booth);
    ASSERT_EQ(buttons.size(), 3u);
    for (const StripButton& b : buttons) {
        EXPECT_FALSE(b.lit);
        b.action();
    }
    EXPECT_TRUE(engine().volumes().at(kPlayer).isCued);
    EXPECT_TRUE(engine().volumes().at(kPlayer).isMuted);
    EXPECT_EQ(engine().soloed(), std::set<QString>({kPlayer}));
    EXPECT_FALSE(buttons[0].lit) << "a button lights up through the rebuilt model only";

    for (ThemeMode theme : kAllThemes) {
        SCOPED_TRACE(qPrintable(rawValue(theme)));
        const Palette p = palette(theme);
        buttons = stripButtons(model(kPlayer), theme);
        ASSERT_EQ(buttons.size(), 3u);
        struct Expected {
            QString symbol, text, help;
            bool wide;
            QColor fill;
        };
        const Expected expected[] = {
            {"headphones", "", "Stop cueing to PHONES", false, cueColor(theme)},
            {"", "S", "Release solo", true, withOpacity(standardYellow(theme), 0.9)},
            {"", "M", "Unmute", true, withOpacity(standardRed(theme), 0.85)},
        };
        for (std::size_t i = 0; i < 3; ++i) {
            EXPECT_TRUE(buttons[i].lit);
            EXPECT_EQ(buttons[i].symbol, expected[i].symbol);
            EXPECT_EQ(buttons[i].text, expected[i].text);
            EXPECT_EQ(buttons[i].help, expected[i].help);
            EXPECT_EQ(buttons[i].wide, expected[i].wide);
            EXPECT_EQ(buttons[i].fill(theme), expected[i].fill);
            EXPECT_EQ(buttons[i].content(theme), p.void_);
        }
    }
    EXPECT_EQ(cueColor(ThemeMode::Daylight), colorFromHex(0xD2731C));

    for (const StripButton& b : buttons) b.action();
    buttons = stripButtons(model(kPlayer), ThemeMode::Studio);
    const QStringList helps = {buttons[0].help, buttons[1].help, buttons[2].help};
    EXPECT_EQ(helps, QStringList({"Cue to PHONES (pre-fade)", "Solo: hear only this", "Mute"}));
    for (const StripButton& b : buttons) {
        EXPECT_EQ(b.fill(ThemeMode::Studio), palette(ThemeMode::Studio).elevated);
        EXPECT_EQ(b.content(ThemeMode::Studio), palette(ThemeMode::Studio).textMuted);
    }
}

TEST_F(StripButtons, ACuedApplicationCanBeUncuedAfterThePhonesPairWentAway) {
    model(kPlayer).toggleCue();
    dropPhonesPair();
    const std::vector<StripButton> buttons = stripButtons(model(kPlayer), ThemeMode::Booth);
    ASSERT_EQ(buttons.front().role, Role::Cue);
    EXPECT_TRUE(buttons.front().lit);
    EXPECT_EQ(buttons.front().help, "Stop cueing to PHONES");
    EXPECT_EQ(buttons.front().badgeTarget, "cue:" + kPlayer);
    buttons.front().action();
    EXPECT_FALSE(engine().volumes().at(kPlayer).isCued);
    EXPECT_EQ(roles(kPlayer), std::vector<Role>({Role::Solo, Role::Mute}));
}

TEST_F(StripButtons, APhonesStripMuteIsOneWideButton) {
    const std::vector<StripButton> buttons = stripButtons(model("bus:phones"), ThemeMode::Booth);
    ASSERT_EQ(buttons.size(), 1u);
    EXPECT_TRUE(buttons[0].wide);
    EXPECT_EQ(buttons[0].badgeTarget, std::nullopt);
    buttons[0].action();
    EXPECT_TRUE(engine().phonesBusVolume().isMuted());
    EXPECT_EQ(stripButtons(model("bus:phones"), ThemeMode::Booth)[0].help, "Unmute");
}

}  // namespace
}  // namespace quellor::test
