// The theme in force: chosen once at start-up, changed through the controller, stored as "theme",
// and followed by the application palette.
#include <gtest/gtest.h>

#include <QApplication>
#include <QPalette>
#include <QSignalSpy>

#include "TestEnvironment.h"
#include "ui/style/ThemeController.h"

using namespace quellor;

class ThemeControllerTest : public test::QuellorTest {};

TEST_F(ThemeControllerTest, StartsFromTheStoredThemeWithoutRewritingIt) {
    defaults().setString("theme", "Daylight");  // names no theme
    ThemeController unknown(defaults());
    EXPECT_EQ(unknown.current(), ThemeMode::Booth);
    EXPECT_EQ(defaults().stringOr("theme", ""), "Daylight");

    defaults().setString("theme", "daylight");
    ThemeController daylight(defaults());
    EXPECT_EQ(daylight.current(), ThemeMode::Daylight);
    EXPECT_EQ(QApplication::palette().color(QPalette::Window), palette(ThemeMode::Daylight).panel);
}

TEST_F(ThemeControllerTest, ChoosingSetsTheThemeThenStoresItAndThePaletteFollows) {
    ThemeController themes(defaults());
    QSignalSpy changes(&themes, &ThemeController::themeChanged);
    ThemeMode seenWhenStored = ThemeMode::Booth;
    QObject::connect(&defaults(), &UserDefaults::changed, [&](const QString& key) {
        if (key == "theme") seenWhenStored = themes.current();
    });
    themes.choose(ThemeMode::Studio);
    EXPECT_EQ(seenWhenStored, ThemeMode::Studio);  // views rebuilt by the write see the new theme
    EXPECT_EQ(defaults().stringOr("theme", ""), "studio");
    EXPECT_EQ(QApplication::palette().color(QPalette::Window), palette(ThemeMode::Studio).panel);
    EXPECT_EQ(QApplication::palette().color(QPalette::Text), palette(ThemeMode::Studio).textPrimary);
    EXPECT_EQ(changes.count(), 1);

    // The same theme again writes the value again and changes nothing.
    defaults().remove("theme");
    themes.choose(ThemeMode::Studio);
    EXPECT_EQ(defaults().stringOr("theme", ""), "studio");
    EXPECT_EQ(changes.count(), 1);
}

TEST_F(ThemeControllerTest, AThemeWrittenElsewhereAppliesAtOnceAndJunkIsIgnored) {
    ThemeController themes(defaults());
    defaults().setString("theme", "daylight");
    EXPECT_EQ(themes.current(), ThemeMode::Daylight);
    defaults().setString("theme", "neon");
    defaults().remove("theme");
    EXPECT_EQ(themes.current(), ThemeMode::Daylight);
}
