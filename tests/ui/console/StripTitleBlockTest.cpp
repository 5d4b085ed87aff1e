// The title block of strips on the simulated world: header, route line and menu, and the context
// menu of rename, colour, group and fades.
#include "ConsoleFixture.h"
#include "audio/AudioDeviceMonitor.h"
#include "ui/console/ConsoleFades.h"
#include "ui/console/StripTitleBlock.h"
#include "ui/style/PaletteColor.h"

namespace quellor::test {
namespace {

QStringList titles(const MenuModel& menu) {
    QStringList out;
    for (const MenuItem& item : menu)
        out << (item.kind == MenuItem::Kind::Separator ? "—" + item.title : item.title) +
                   (item.symbol == "checkmark" ? " ✓" : "");
    return out;
}

class TitleBlock : public ConsoleFixture {};

TEST(StripBarColor, AChosenEntryModuloEightOrTheAutomaticColourOfTheName) {
    const QColor third = stripBarColor(2, "Music");
    EXPECT_NEAR(third.hsvHueF(), 0.25, 1e-4);
    EXPECT_NEAR(third.hsvSaturationF(), 0.5, 1e-4);
    EXPECT_NEAR(third.valueF(), 0.88, 1e-4);
    EXPECT_EQ(stripBarColor(9, "Music"), stripBarColor(1, "Music"));
    EXPECT_EQ(stripBarColor(-1, "Music"), stripBarColor(7, "Music")) << "a stored negative index is drawn too";
    EXPECT_EQ(stripBarColor(std::numeric_limits<int>::min(), "Music"), stripBarColor(0, "Music"));
    EXPECT_EQ(stripBarColor(std::nullopt, "Music"), paletteColor("Music"));
    EXPECT_EQ(stripBarColor(std::nullopt, ""), paletteColor("-"));
}

TEST_F(TitleBlock, HeaderShowsNameGroupAndKind) {
    struct Case {
        QString id;
        std::optional<QString> kindTag;
    };
    const Case cases[] = {{"bus:main", "OUT"}, {"bus:phones", "OUT"}, {"system_output", "OUT"},
                          {"system_input", "IN"}, {kPlayer, std::nullopt}};
    for (const Case& c : cases) EXPECT_EQ(StripTitleBlock::of(model(c.id), false).kindTag, c.kindTag) << qPrintable(c.id);
    EXPECT_EQ(StripTitleBlock::of(model("system_input"), false).kindColor, QColor::fromHsvF(0.38f, 0.5f, 0.8f, 1.0f));
    EXPECT_EQ(StripTitleBlock::of(model("bus:main"), false).kindColor, QColor::fromHsvF(0.6f, 0.45f, 0.88f, 1.0f));

    setStyle(kRadio, {QString("News desk"), std::nullopt, QString("B")});
    const StripTitleBlock radio = StripTitleBlock::of(model(kRadio), false);
    EXPECT_EQ(radio.name, "NEWS DESK");
    EXPECT_EQ(radio.nameAccessibilityLabel, "Strip name: News desk");
    EXPECT_EQ(radio.barColor, paletteColor("News desk"));
    EXPECT_EQ(radio.barOpacity, 1.0);
    EXPECT_EQ(radio.groupTag, "B");
    EXPECT_EQ(radio.groupHelp, "Group B: these faders move together");
    EXPECT_EQ(StripTitleBlock::of(model(kPlayer), false).groupTag, std::nullopt);

    const StripTitleBlock empty = StripTitleBlock::of(StripModelBuilder::emptySlotModel(), false);
    EXPECT_EQ(empty.barOpacity, 0.0);
    EXPECT_EQ(empty.barColor, paletteColor("-"));
}

TEST_F(TitleBlock, TheRouteLineOpensTheRouteMenuExceptOnCompactStrips) {
    const StripModel main = model("bus:main");
    const StripTitleBlock block = StripTitleBlock::of(main, false);
    EXPECT_EQ(block.routeLabel, "↳ USB-4");
    EXPECT_EQ(block.routeAccessibilityLabel, "Output of MAIN: ↳ USB-4");
    EXPECT_EQ(StripTitleBlock::of(main, true).routeLabel, std::nullopt);
    EXPECT_EQ(StripTitleBlock::of(model("bus:phones"), false).routeLabel, std::nullopt);

    const MenuModel menu = routeMenu(main);
    EXPECT_EQ(titles(menu), QStringList({"SPK", "USB-4 ✓"}));
    findMenuItem(menu, "SPK")->action();
    settle();
    EXPECT_EQ(engine().deviceMonitor().defaultDeviceID(), speakers);
}

TEST_F(TitleBlock, ContextMenuRenamesColoursGroupsAndFades) {
    setStyle(kRadio, {std::nullopt, std::nullopt, QString("B")});
    std::vector<QString> calls;
    StripCallbacks callbacks{[&] { calls.push_back("rename"); },
                             [&](std::optional<int> c) { calls.push_back("colour " + (c ? QString::number(*c) : "auto")); },
                             [&](std::optional<QString> g) { calls.push_back("group " + g.value_or("none")); }};
    ConsoleFades fades(&scheduler());
    const MenuModel menu = titleBlockContextMenu(model(kRadio), callbacks, fades);
    EXPECT_EQ(titles(menu), QStringList({"Rename…", "Colour", "Group", "—Fade", "Fade out, 1 s", "Fade out, 3 s",
                                         "Fade out, 5 s", "Fade out, 10 s", "Fade in to 100 %, 1 s",
                                         "Fade in to 100 %, 3 s", "Fade in to 100 %, 5 s", "Stop fade"}));
    EXPECT_EQ(titles(menu[1].children), QStringList({"Automatic", "Colour 1", "Colour 2", "Colour 3", "Colour 4",
                                                     "Colour 5", "Colour 6", "Colour 7", "Colour 8"}));
    EXPECT_EQ(menu[1].children[1].symbol, "circle.fill");
    EXPECT_EQ(titles(menu[2].children), QStringList({"None", "Group A", "Group B ✓", "Group C", "Group D"}));
    menu[0].action();
    menu[1].children[3].action();
    menu[1].children[0].action();
    menu[2].children[0].action();
    menu[2].children[4].action();
    EXPECT_EQ(calls, (std::vector<QString>{"rename", "colour 2", "colour auto", "group none", "group D"}));

    findMenuItem(menu, "Fade out, 1 s")->action();
    EXPECT_TRUE(fades.isFading(kRadio)) << "the strip fades under its source id";
}

}  // namespace
}  // namespace quellor::test
