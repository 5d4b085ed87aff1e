// The theme in force: chosen once at start-up, changed through the controller, stored as "theme",
// and followed by the application palette.
#include <gtest/gtest.h>

#include <QApplication>
#include <QPalette>
#include <QLabel>
#include <QMenu>
#include <QSignalSpy>
#include <QToolTip>

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

// Menus and tooltips in every theme: the raised surface, a border and a separator that stand out
// from it, and text in the theme's colour.
TEST_F(ThemeControllerTest, MenusAndTooltipsAreDrawnInTheThemeWithAVisibleBorderAndSeparator) {
    ThemeController themes(defaults());
    const auto near = [](const QColor& a, const QColor& b) {
        return std::abs(a.red() - b.red()) <= 3 && std::abs(a.green() - b.green()) <= 3 && std::abs(a.blue() - b.blue()) <= 3;
    };
    for (ThemeMode mode : {ThemeMode::Booth, ThemeMode::Studio, ThemeMode::Daylight}) {
        SCOPED_TRACE(qPrintable(rawValue(mode)));
        themes.choose(mode);
        const Palette p = palette(mode);
        ASSERT_GT(std::abs(p.textMuted.lightness() - p.elevated.lightness()), 40) << "the border would not show";

        QMenu menu;
        menu.addAction("First");
        menu.addSeparator();
        menu.addAction("Second");
        menu.ensurePolished();
        menu.adjustSize();
        const QImage image = menu.grab().toImage();
        const int mid = image.width() / 2;
        EXPECT_TRUE(near(image.pixelColor(0, image.height() / 2), p.textMuted)) << "left border";
        EXPECT_TRUE(near(image.pixelColor(mid, 0), p.textMuted)) << "top border";
        EXPECT_TRUE(near(image.pixelColor(mid, 2), p.elevated)) << "surface";
        int separatorRows = 0;
        for (int y = 2; y < image.height() - 2; ++y) separatorRows += near(image.pixelColor(mid, y), p.textMuted);
        EXPECT_GE(separatorRows, 1) << "the separator";

        QToolTip::showText(QPoint(100, 100), "Help text");
        QLabel* tip = nullptr;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->inherits("QTipLabel") && w->isVisible()) tip = qobject_cast<QLabel*>(w);
        ASSERT_TRUE(tip);
        const QImage tipImage = tip->grab().toImage();
        EXPECT_TRUE(near(tipImage.pixelColor(0, tipImage.height() / 2), p.textMuted)) << "tooltip border";
        EXPECT_TRUE(near(tipImage.pixelColor(2, 2), p.elevated)) << "tooltip surface";
        QToolTip::hideText();
    }
}
