// The strip's level texts, the fader's accessibility and the look of a strip in its state.
#include <gtest/gtest.h>

#include <cmath>

#include "base/UserDefaults.h"
#include "ui/console/ConsoleColors.h"
#include "ui/console/StripLook.h"
#include "ui/console/StripModel.h"
#include "ui/console/StripReadout.h"

namespace quellor {
namespace {

TEST(StripReadout, PercentTruncatesInSinglePrecisionAndDecibelsNeverShowMinusZero) {
    struct Case {
        float volume;
        bool isActive, showDB;
        QString text;
    };
    const Case cases[] = {
        {1.0f, true, false, "100%"},
        {0.999f, true, false, "99%"},
        {0.755f, true, false, "75%"},
        {0.53f, true, false, "52%"},  // 52.999996 once multiplied in single precision
        {0.29f, true, false, "29%"},  // 28.9999992 exactly, 29 in single precision
        {0.0f, true, false, "0%"},
        {1.0f, true, true, "0.0"},
        {0.9985f, true, true, "0.0"},  // -0.04 dB
        {0.5f, true, true, "-18.1"},
        {0.0006f, true, true, "-193.3"},
        {0.0005f, true, true, "-∞"},
        {0.0f, true, true, "-∞"},
        {0.5f, false, false, "OFF"},
        {0.5f, false, true, "OFF"},
        {NAN, true, false, "100%"},  // read as the level law reads it, never an undefined number
        {NAN, true, true, "0.0"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(readoutText(c.volume, c.isActive, c.showDB), c.text)
            << c.volume << (c.isActive ? " active" : " inactive") << (c.showDB ? " dB" : " %");
}

TEST(StripReadout, AClickSwitchesTheOneStoredUnitOfEveryReadout) {
    UserDefaults store;
    EXPECT_FALSE(readoutShowsDB(store));
    store.setString(kReadoutDBKey, "yes");
    EXPECT_FALSE(readoutShowsDB(store)) << "a value of another type counts as percent";
    toggleReadoutUnit(store);
    EXPECT_EQ(store.boolValue(kReadoutDBKey), true);
    toggleReadoutUnit(store);
    EXPECT_EQ(store.boolValue(kReadoutDBKey), false);
}

TEST(StripReadout, FaderAccessibilityNamesTheStripAndReadsTheTruncatedPercent) {
    EXPECT_EQ(faderAccessibilityLabel(""), "Empty fader");
    EXPECT_EQ(faderAccessibilityLabel("MAIN"), "MAIN fader");
    EXPECT_EQ(faderAccessibilityValue(0.53f), "52 percent");
    EXPECT_EQ(faderAccessibilityValue(1.0f), "100 percent");
}

TEST(StripReadout, TheAdjustableActionStepsWithinTheTravelAndAnInactiveStripIgnoresIt) {
    struct Case {
        float volume;
        bool isActive, increment;
        std::optional<float> set;
    };
    const Case cases[] = {
        {0.5f, true, true, 0.55f},  {0.5f, true, false, 0.45f}, {0.98f, true, true, 1.0f},
        {0.02f, true, false, 0.0f}, {0.5f, false, true, std::nullopt},
    };
    for (const Case& c : cases) {
        std::optional<float> set;
        StripModel model;
        model.volume = c.volume;
        model.isActive = c.isActive;
        model.setVolume = [&](float v) { set = v; };
        adjustFader(model, c.increment);
        ASSERT_EQ(set.has_value(), c.set.has_value()) << c.volume;
        if (set) {
            EXPECT_FLOAT_EQ(*set, *c.set) << c.volume;
        }
    }
}

TEST(StripLook, InactiveStripsFadeMutedReadoutsAreStruckAndCuedStripsEdgedInTheCueColour) {
    struct Case {
        ThemeMode theme;
        bool isActive, isMuted, isCued;
        double opacity, lcdOpacity;
        bool semibold;
    };
    const Case cases[] = {
        {ThemeMode::Booth, true, false, false, 1.0, 1.0, true},
        {ThemeMode::Booth, false, false, false, 0.4, 1.0, true},
        {ThemeMode::Studio, false, false, false, 0.4, 1.0, true},
        {ThemeMode::Daylight, false, false, false, 0.78, 0.6, false},
        {ThemeMode::Daylight, true, true, true, 1.0, 1.0, true},
    };
    for (const Case& c : cases) {
        StripModel model;
        model.isActive = c.isActive;
        model.isMuted = c.isMuted;
        model.isCued = c.isCued;
        const StripLook look = stripLook(model, c.theme, false);
        const Palette p = palette(c.theme);
        SCOPED_TRACE(qPrintable(rawValue(c.theme) + (c.isActive ? " active" : " inactive")));
        EXPECT_DOUBLE_EQ(look.opacity, c.opacity);
        EXPECT_DOUBLE_EQ(look.lcdOpacity, c.lcdOpacity);
        EXPECT_EQ(look.readoutSemibold, c.semibold);
        EXPECT_EQ(look.readoutColor, c.isActive && !c.isMuted ? signalOnDark() : p.lcdMuted);
        EXPECT_EQ(look.readoutStruck, c.isMuted);
        EXPECT_EQ(look.strikeColor, p.textMuted);
        EXPECT_DOUBLE_EQ(look.titleBorderWidth, c.isCued ? 1.5 : 1.0);
        EXPECT_EQ(look.titleBorderColor, c.isCued ? cueColor(c.theme) : p.hair);
    }
    EXPECT_EQ(cueColor(ThemeMode::Daylight), colorFromHex(0xD2731C));
    EXPECT_EQ(cueColor(ThemeMode::Studio), colorFromHex(0xF29A4A));
}

TEST(StripLook, OnlyTheMainStripWithoutButtonsAnchorsTheMainMute) {
    StripModel main;
    main.targetID = "bus:main";
    StripModel phones;
    phones.targetID = "bus:phones";
    StripModel phonesWithMute = phones;
    phonesWithMute.toggleMute = [] {};
    StripModel app;
    app.targetID = "com.example.player";
    app.toggleSolo = [] {};
    using Area = StripLook::ButtonArea;
    EXPECT_EQ(stripLook(main, ThemeMode::Booth, false).buttonArea, Area::MainMuteAnchor);
    EXPECT_EQ(stripLook(phones, ThemeMode::Booth, false).buttonArea, Area::Empty);
    EXPECT_EQ(stripLook(phonesWithMute, ThemeMode::Booth, false).buttonArea, Area::Buttons);
    EXPECT_EQ(stripLook(app, ThemeMode::Booth, false).buttonArea, Area::Buttons);
    EXPECT_EQ(stripLook(StripModel{}, ThemeMode::Booth, false).buttonArea, Area::Empty);

    const StripLook compact = stripLook(main, ThemeMode::Booth, true);
    EXPECT_EQ(std::tuple(compact.padding, compact.readoutHeight, compact.titleMinHeight), std::tuple(2.0, 20.0, 22.0));
    const StripLook regular = stripLook(main, ThemeMode::Booth, false);
    EXPECT_EQ(std::tuple(regular.padding, regular.readoutHeight, regular.titleMinHeight), std::tuple(4.0, 22.0, 26.0));
}

}  // namespace
}  // namespace quellor
