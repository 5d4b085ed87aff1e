// The themes' names, the start-up choice of a theme and the palette tables.
#include <gtest/gtest.h>

#include "ui/style/ThemeMode.h"

using namespace quellor;

TEST(ThemeMode, NamesAndSchemesInMenuOrder) {
    ASSERT_EQ(kAllThemes.size(), 3u);
    EXPECT_EQ(kAllThemes[0], ThemeMode::Booth);
    EXPECT_EQ(kAllThemes[1], ThemeMode::Studio);
    EXPECT_EQ(kAllThemes[2], ThemeMode::Daylight);
    EXPECT_EQ(rawValue(ThemeMode::Studio), "studio");
    EXPECT_EQ(displayName(ThemeMode::Daylight), "Daylight");
    EXPECT_EQ(colorScheme(ThemeMode::Booth), ColorScheme::Dark);
    EXPECT_EQ(colorScheme(ThemeMode::Studio), ColorScheme::Dark);
    EXPECT_EQ(colorScheme(ThemeMode::Daylight), ColorScheme::Light);
}

TEST(ThemeMode, StoredValueChoosesTheThemeAndAnythingElseIsBooth) {
    struct Case {
        std::optional<QString> stored;
        ThemeMode expected;
    };
    const Case cases[] = {
        {std::nullopt, ThemeMode::Booth},         {QString("booth"), ThemeMode::Booth},
        {QString("studio"), ThemeMode::Studio},   {QString("daylight"), ThemeMode::Daylight},
        {QString("Booth"), ThemeMode::Booth},     {QString("Daylight"), ThemeMode::Booth},
        {QString(""), ThemeMode::Booth},          {QString("neon"), ThemeMode::Booth},
    };
    for (const auto& c : cases)
        EXPECT_EQ(themeFromStoredValue(c.stored), c.expected) << qPrintable(c.stored.value_or("<absent>"));
}

TEST(ThemeMode, HexConversionIsExactAndIgnoresHighBits) {
    QColor c = colorFromHex(0xF0C46A);
    EXPECT_EQ(c.red(), 240);
    EXPECT_EQ(c.green(), 196);
    EXPECT_EQ(c.blue(), 106);
    EXPECT_EQ(c.alpha(), 255);
    EXPECT_EQ(colorFromHex(0xFF0A0B0C), colorFromHex(0x0A0B0C));
}

TEST(ThemeMode, PaletteTables) {
    Palette booth = palette(ThemeMode::Booth), studio = palette(ThemeMode::Studio),
            day = palette(ThemeMode::Daylight);
    EXPECT_EQ(booth.void_, colorFromHex(0x0A0A0B));
    EXPECT_EQ(studio.panel, colorFromHex(0x1F2025));
    EXPECT_EQ(day.elevated, colorFromHex(0xE6E6E6));
    EXPECT_EQ(studio.hair, colorFromHex(0x3D3E46));
    EXPECT_EQ(booth.textSecondary, colorFromHex(0x9A9A9D));
    EXPECT_EQ(day.brand, colorFromHex(0xA66B00));
    EXPECT_EQ(studio.waveSelected, colorFromHex(0xE6ECF8));
    // The light theme keeps a dark LCD, whose muted text is lighter than the theme's muted text.
    EXPECT_EQ(day.void_, colorFromHex(0xD0D0D0));
    EXPECT_EQ(day.lcd, colorFromHex(0x1C1C20));
    EXPECT_GT(day.lcdMuted.lightness(), day.textMuted.lightness());
    // The accents are shared by the dark themes, and the on-dark constants never follow daylight.
    EXPECT_EQ(booth.brand, studio.brand);
    EXPECT_EQ(booth.signal, studio.signal);
    EXPECT_EQ(brandOnDark(), booth.brand);
    EXPECT_EQ(signalOnDark(), booth.signal);
    EXPECT_NE(brandOnDark(), day.brand);
}
