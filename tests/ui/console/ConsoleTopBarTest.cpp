// The console top bar: its rows and which one fits, CLEAR SOLO, the lock, sidebar and settings
// buttons, and the more-menu.
#include "ConsoleFixture.h"
#include "ui/console/ConsoleColors.h"
#include "ui/console/ConsoleTopBar.h"
#include "ui/style/ThemeController.h"

namespace quellor::test {
namespace {

using Bar = ConsoleTopBar;
using Kind = Bar::Item::Kind;

std::vector<Kind> kinds(Bar::Row row, bool clearSolo) {
    std::vector<Kind> out;
    for (const Bar::Item& item : Bar::rowLayout(row, clearSolo).items) out.push_back(item.kind);
    return out;
}

TEST(ConsoleTopBarRows, EachRowHoldsItsItemsAndCLEARSOLOOnlyWhenShown) {
    const std::vector<Kind> wide{Kind::Title,     Kind::StripCountCard, Kind::FlexibleSpace,
                                 Kind::LockFull,  Kind::MeterCard,      Kind::Divider,
                                 Kind::ThemeSwitch, Kind::Divider,      Kind::IconGroup};
    EXPECT_EQ(kinds(Bar::Row::A, false), wide);
    EXPECT_EQ(kinds(Bar::Row::B, false), wide);
    EXPECT_EQ(kinds(Bar::Row::C, false), (std::vector<Kind>{Kind::Title, Kind::StripCountCard, Kind::FlexibleSpace,
                                                            Kind::LockCompact, Kind::MoreMenu, Kind::IconGroup}));
    EXPECT_EQ(kinds(Bar::Row::C, true)[3], Kind::ClearSolo);
    EXPECT_EQ(kinds(Bar::Row::D, true),
              (std::vector<Kind>{Kind::FlexibleSpace, Kind::LockCompact, Kind::MoreMenu, Kind::IconGroup}));
    // CLEAR SOLO follows the meter card with its own padding.
    EXPECT_EQ(Bar::rowLayout(Bar::Row::A, true).items[5], (Bar::Item{Kind::ClearSolo, 10, 0, 0}));
    EXPECT_EQ(Bar::rowLayout(Bar::Row::B, true).items[5], (Bar::Item{Kind::ClearSolo, 6, 0, 0}));
    EXPECT_EQ(Bar::rowLayout(Bar::Row::B, true).items[6], (Bar::Item{Kind::Divider, 8, 8, 0}));
}

TEST(ConsoleTopBarRows, TheFirstRowThatFitsIsShownAndTheNarrowestWhenNoneDoes) {
    Bar::ItemWidths widths;
    widths.title = 60;
    widths.lockFull = 70;
    widths.lockCompact = 30;
    widths.clearSolo = 80;
    widths.themeSwitch = 86;
    // Title 60 + 14; space 16 (8); lock 70 + 10 (6); dividers 1 + 28 (16); theme 86; icons 26 + 4 + 26.
    struct Ideal {
        Bar::Row row;
        double without, with;
    };
    const Ideal ideals[] = {{Bar::Row::A, 370, 460}, {Bar::Row::B, 334, 420}, {Bar::Row::C, 194, 274},
                            {Bar::Row::D, 140, 140}};
    for (const Ideal& i : ideals) {
        EXPECT_EQ(Bar::idealWidth(Bar::rowLayout(i.row, false), widths), i.without) << int(i.row);
        EXPECT_EQ(Bar::idealWidth(Bar::rowLayout(i.row, true), widths), i.with) << int(i.row);
    }
    struct Case {
        double barWidth;
        bool clearSolo;
        Bar::Row row;
    };
    const Case cases[] = {
        {1000, false, Bar::Row::A}, {398, false, Bar::Row::A}, {397.5, false, Bar::Row::B}, {362, false, Bar::Row::B},
        {361, false, Bar::Row::C},  {222, false, Bar::Row::C}, {221, false, Bar::Row::D},   {168, false, Bar::Row::D},
        {100, false, Bar::Row::D},  {0, false, Bar::Row::D},   {398, true, Bar::Row::C},    {488, true, Bar::Row::A},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Bar::rowThatFits(c.barWidth, widths, c.clearSolo), c.row) << c.barWidth << (c.clearSolo ? " solo" : "");
}

class ConsoleTopBarTest : public ConsoleFixture {
protected:
    ThemeController themes{defaults()};
    int settingsOpened = 0;
    Bar bar{engine(), defaults(), themes, [this] { ++settingsOpened; }};
    Palette p() { return themes.palette(); }
};

TEST_F(ConsoleTopBarTest, CLEARSOLOShowsWhileAnythingIsSoloedAndReleasesEverySolo) {
    EXPECT_FALSE(bar.showsClearSolo());
    engine().applySolo(true, kPlayer);
    engine().applySolo(true, kRadio);
    engine().applySolo(true, "bus:main");
    EXPECT_TRUE(bar.showsClearSolo());
    bar.clearSolo();
    EXPECT_TRUE(engine().soloed().empty());
    EXPECT_FALSE(bar.showsClearSolo());
    const TopBarButtonFace face = bar.clearSoloButton();
    EXPECT_EQ(face.text, "CLEAR SOLO");
    EXPECT_EQ(face.help, "Release every solo");
    EXPECT_EQ(face.color, standardYellow(ThemeMode::Booth));
}

TEST_F(ConsoleTopBarTest, TheLockButtonNamesTheStateAndSwitchesTheStoredLock) {
    struct Case {
        bool locked, compact;
        QString symbol;
        std::optional<QString> text;
        QColor color, background;
        QString label, help;
    };
    const QColor clear(Qt::transparent);
    const QString lockedHelp = "Console locked: faders and buttons ignore the mouse (MUTE on MAIN still works)";
    const QString unlockedHelp = "Lock the console against accidental moves";
    const Case cases[] = {
        {false, false, "lock.open", "LOCK", p().textSecondary, clear, "Console lock: unlocked. Lock the console", unlockedHelp},
        {false, true, "lock.open", std::nullopt, p().textSecondary, clear, "Console lock: unlocked. Lock the console",
         unlockedHelp},
        {true, false, "lock.fill", "LOCKED", p().brand, withOpacity(p().brand, 0.15),
         "Console lock: locked. Unlock the console", lockedHelp},
        {true, true, "lock.fill", std::nullopt, p().brand, withOpacity(p().brand, 0.15),
         "Console lock: locked. Unlock the console", lockedHelp},
    };
    for (const Case& c : cases) {
        if (bar.isLocked() != c.locked) bar.toggleLock();
        EXPECT_EQ(defaults().boolOr("consoleLocked", false), c.locked);
        const TopBarButtonFace face = bar.lockButton(c.compact);
        EXPECT_EQ(face.symbol, c.symbol);
        EXPECT_EQ(face.text, c.text);
        EXPECT_EQ(face.color, c.color);
        EXPECT_EQ(face.background, c.background);
        EXPECT_EQ(face.accessibilityLabel, c.label);
        EXPECT_EQ(face.help, c.help);
        EXPECT_EQ(face.objectName, "console-lock");
    }
    // A lock written elsewhere (the remote lock command) shows at once.
    defaults().setBool("consoleLocked", false);
    EXPECT_EQ(bar.lockButton(false).text, "LOCK");
}

TEST_F(ConsoleTopBarTest, SidebarAndSettingsButtons) {
    TopBarButtonFace sidebar = bar.sidebarToggle();
    EXPECT_EQ(sidebar.accessibilityLabel, "Hide sidebar");
    EXPECT_EQ(sidebar.help, "Hide the sidebar");
    EXPECT_EQ(sidebar.color, p().brand);
    EXPECT_EQ(sidebar.objectName, "sidebar-toggle");
    bar.toggleSidebar();
    EXPECT_EQ(defaults().boolValue("sidebarHidden"), true);
    sidebar = bar.sidebarToggle();
    EXPECT_EQ(sidebar.accessibilityLabel, "Show sidebar");
    EXPECT_EQ(sidebar.help, "Show the sidebar");
    EXPECT_EQ(sidebar.color, p().textSecondary);

    const TopBarButtonFace settings = bar.settingsButton();
    EXPECT_EQ(settings.symbol, "gearshape");
    EXPECT_EQ(settings.accessibilityLabel, "Settings");
    EXPECT_EQ(settings.help, "Settings");
    EXPECT_EQ(settings.objectName, "console-settings");
    bar.openSettings();
    EXPECT_EQ(settingsOpened, 1);

    const TopBarButtonFace more = bar.moreMenuButton();
    EXPECT_EQ(more.symbol, "ellipsis.circle");
    EXPECT_EQ(more.accessibilityLabel, "More: meter source, theme");
    EXPECT_EQ(more.help, "Meter source and theme");
    EXPECT_EQ(more.objectName, "more-menu");
}

TEST_F(ConsoleTopBarTest, TheMoreMenuChecksTheStoredChoicesAndAppliesAThemeAtOnce) {
    auto checked = [&](const QString& title) { return findMenuItem(bar.moreMenu(), title)->checked; };
    const MenuModel menu = bar.moreMenu();
    ASSERT_EQ(menu.size(), 2u);
    EXPECT_EQ(menu[0].title, "Meter source");
    EXPECT_EQ(menu[1].title, "Theme");
    ASSERT_EQ(menu[1].children.size(), 3u);
    EXPECT_EQ(menu[1].children[2].title, "Daylight");

    // Absent values read as their defaults; values that name no choice check none.
    struct Case {
        QVariant meter, theme;
        bool pre, post, booth, studio;
    };
    const Case cases[] = {
        {{}, {}, false, true, true, false},
        {"pre", "studio", true, false, false, true},
        {"PRE", "neon", false, false, false, false},
        {3, true, false, true, true, false},  // another type: the defaults
    };
    for (const Case& c : cases) {
        c.meter.isValid() ? defaults().setValue("meterSource", c.meter) : defaults().remove("meterSource");
        c.theme.isValid() ? defaults().setValue("theme", c.theme) : defaults().remove("theme");
        EXPECT_EQ(checked("METER PRE"), c.pre) << qPrintable(c.meter.toString());
        EXPECT_EQ(checked("METER POST"), c.post) << qPrintable(c.meter.toString());
        EXPECT_EQ(checked("Booth"), c.booth) << qPrintable(c.theme.toString());
        EXPECT_EQ(checked("Studio"), c.studio) << qPrintable(c.theme.toString());
    }

    findMenuItem(bar.moreMenu(), "METER PRE")->action();
    EXPECT_EQ(defaults().stringValue("meterSource"), "pre");
    findMenuItem(bar.moreMenu(), "Daylight")->action();
    EXPECT_EQ(themes.current(), ThemeMode::Daylight);
    EXPECT_EQ(defaults().stringValue("theme"), "daylight");
    EXPECT_EQ(bar.background(), palette(ThemeMode::Daylight).panel);
}

}  // namespace
}  // namespace quellor::test
