// The theme switch shows the theme in force and chooses through the controller.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <QTest>

#include "TestEnvironment.h"
#include "ui/style/ThemeSwitch.h"

using namespace quellor;

class ThemeSwitchTest : public test::QuellorTest {};

TEST_F(ThemeSwitchTest, SegmentsFollowTheThemeAndAClickChoosesAndStores) {
    defaults().setString("theme", "studio");
    ThemeController themes(defaults());
    ThemeSwitch control(themes);
    EXPECT_EQ(control.size(), QSize(2 + 3 * 26 + 2 * 2 + 2, 28));
    auto* booth = control.findChild<ThemeSegment*>("theme-booth");
    auto* studio = control.findChild<ThemeSegment*>("theme-studio");
    auto* daylight = control.findChild<ThemeSegment*>("theme-daylight");
    ASSERT_TRUE(booth && studio && daylight);
    EXPECT_EQ(studio->accessibleName(), "Theme: Studio");
    EXPECT_EQ(daylight->toolTip(), "Daylight");
    EXPECT_FALSE(booth->isChecked());
    EXPECT_TRUE(studio->isChecked());
    EXPECT_FALSE(daylight->isChecked());

    QTest::mouseClick(daylight, Qt::LeftButton);
    EXPECT_EQ(themes.current(), ThemeMode::Daylight);
    EXPECT_EQ(defaults().stringOr("theme", ""), "daylight");
    EXPECT_TRUE(daylight->isChecked());
    EXPECT_FALSE(studio->isChecked());

    // Choosing the selected segment again keeps it selected.
    QTest::mouseClick(daylight, Qt::LeftButton);
    EXPECT_TRUE(daylight->isChecked());
    EXPECT_EQ(themes.current(), ThemeMode::Daylight);
}

TEST_F(ThemeSwitchTest, GlyphsScaleWithTheirCanvas) {
    // At 48 pixels the 24-unit grid has s = 2: the sun's disc fills the centre, its rays end at
    // 21.5 units (43 px) and the crescent's bite leaves the top right empty.
    auto render = [](ThemeMode mode) {
        QImage image(48, 48, QImage::Format_ARGB32);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        paintThemeGlyph(painter, QRectF(0, 0, 48, 48), mode, Qt::red);
        return image;
    };
    QImage sun = render(ThemeMode::Daylight);
    EXPECT_EQ(sun.pixelColor(24, 24), QColor(Qt::red));
    EXPECT_EQ(sun.pixelColor(24, 6).alpha(), 255);   // top ray, 2.5...5 units
    EXPECT_EQ(sun.pixelColor(24, 12).alpha(), 0);    // gap between ray and disc
    QImage moon = render(ThemeMode::Booth);
    EXPECT_EQ(moon.pixelColor(20, 36).alpha(), 255);  // lower left of the disc
    EXPECT_EQ(moon.pixelColor(36, 14).alpha(), 0);    // bitten away
    QImage disc = render(ThemeMode::Studio);
    EXPECT_EQ(disc.pixelColor(24, 24), QColor(Qt::red));
    EXPECT_EQ(disc.pixelColor(4, 4).alpha(), 0);
}
