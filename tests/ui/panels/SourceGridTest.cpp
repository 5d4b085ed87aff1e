// The source grid's logic: its tiles, fader numbers, what a click and a tile's menu write into the
// engine's slots, the columns its width allows and where the sections and tiles stand.
#include "EngineFixture.h"
#include "ui/panels/SourceGrid.h"
#include "ui/panels/SourceGridActions.h"
#include "ui/panels/SourceGridColumns.h"
#include "ui/panels/SourceTile.h"

namespace quellor::test {
namespace {

AudioApp audioApp(std::int32_t pid, const QString& bundleID, const QString& name, bool playing) {
    AudioApp app;
    app.id = pid;
    app.bundleID = bundleID;
    app.name = name;
    app.isPlaying = playing;
    return app;
}

TEST(SourceTile, OneTilePerBundleIdentifierInListOrderThenTheFixedSources) {
    const std::vector<AudioApp> apps{
        audioApp(7, "com.example.radio", "Radio", true),
        audioApp(3, "com.example.player", "Player", false),
        audioApp(9, "com.example.radio", "Radio (2)", false),  // a second running copy
        audioApp(4, "", "No identifier", true),
    };
    const auto tiles = appSourceTiles(apps, [](const AudioApp& a) { return QString("icon-%1").arg(a.id); });
    const std::vector<SourceTile> expected{
        {"com.example.radio", "Radio", "icon-7", "app", false},
        {"com.example.player", "Player", "icon-3", "app", true},
    };
    EXPECT_EQ(tiles, expected);

    const std::vector<SourceTile> io{
        {"bus:main", "MAIN", {}, "hifispeaker.fill", false},
        {"bus:phones", "PHONES", {}, "headphones", false},
        {"system_input", "INPUT", {}, "mic.fill", false},
    };
    EXPECT_EQ(ioSourceTiles(), io);
}

TEST(SourceTile, TextsFollowTheFaderNumber) {
    EXPECT_EQ(sourceTileHelp(std::nullopt), "Drag onto a fader, or click to use the first free one.");
    EXPECT_EQ(sourceTileHelp(12), "On fader 12. Drag onto another fader to move it there.");
    EXPECT_EQ(sourceTileAccessibleName("Radio", std::nullopt), "Source Radio, not on a strip");
    EXPECT_EQ(sourceTileAccessibleName("Radio", 3), "Source Radio, strip 3");
    EXPECT_EQ(sourceTileAccessibleName("50%2 off", 3), "Source 50%2 off, strip 3");
    EXPECT_EQ(sourceTileIdentifier("bus:phones"), "source-tile-bus:phones");
}

TEST(SourceGridSlots, FaderNumbersAndTheFirstFreeStripWithinTheStripsShownAndTheList) {
    QStringList sixteen(16, "x");
    sixteen[11] = "radio";
    sixteen[3] = sixteen[5] = sixteen[9] = "";
    struct Case {
        QStringList slotIDs;
        int strips;
        std::optional<int> free;
    } cases[] = {
        {sixteen, 8, 3},
        {sixteen, 16, 3},
        {QStringList(16, "x"), 16, std::nullopt},
        // Only the hidden strips are free: a click must not reach them.
        {QStringList(8, "x") + QStringList(8, ""), 8, std::nullopt},
        {QStringList(8, "x") + QStringList(8, ""), 16, 8},
        // A list shorter than the strip count is searched to its end, no further.
        {QStringList{"x", "x", "x"}, 8, std::nullopt},
        {QStringList{"x", ""}, 16, 1},
        {QStringList{}, 8, std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(firstFreeStrip(c.slotIDs, c.strips), c.free) << qPrintable(c.slotIDs.join(',')) << " " << c.strips;

    EXPECT_EQ(faderNumberOf(sixteen, "radio"), 12) << "a source on a hidden strip keeps its number";
    EXPECT_EQ(faderNumberOf(sixteen, "x"), 1) << "the first position counts";
    EXPECT_EQ(faderNumberOf(sixteen, "player"), std::nullopt);
}

class SourceGridActionsTest : public EngineFixture {
protected:
    void SetUp() override {
        hardware.setDefaultOutputDevice(addOutputDevice("SPK", 2));
        addApp(101, kPlayer);
        addApp(102, kRadio);
        startEngine();
    }
    void setSlots(const QStringList& ids) {
        for (int i = 0; i < ids.size(); ++i) engine().setSlot(ids[i], i);
    }
    SourceGridActions actions() { return SourceGridActions(engine(), defaults()); }
    QStringList slotIDs() { return engine().consoleSlots(); }
};

TEST_F(SourceGridActionsTest, AClickPutsASourceOnTheFirstFreeShownStripAndLeavesOneOnAStripWhereItIs) {
    setSlots({"bus:main", "bus:phones", "a", "", "b", "", "c", "d", "", "", "", kRadio, "", "", "", ""});
    actions().putOnFirstFreeFader(kPlayer);
    EXPECT_EQ(slotIDs()[3], kPlayer);
    EXPECT_EQ(actions().faderNumber(kPlayer), 4);
    EXPECT_EQ(defaults().stringArrayValue("consoleSlots"), slotIDs()) << "the slots are stored";

    const QStringList before = slotIDs();
    actions().putOnFirstFreeFader(kPlayer);
    actions().putOnFirstFreeFader(kRadio);  // on the hidden strip 12
    EXPECT_EQ(slotIDs(), before);

    // Once the shown strips are full nothing moves, though hidden ones are free.
    actions().putOnFirstFreeFader("system_input");
    EXPECT_EQ(slotIDs()[5], "system_input");
    QStringList full = before;
    full[5] = "system_input";
    actions().putOnFirstFreeFader("bus:other");
    EXPECT_EQ(slotIDs(), full);
    EXPECT_TRUE(actions().tileMenu("bus:other").empty());

    // Sixteen strips: the same click reaches strip 9.
    defaults().setInteger("consoleStrips", 16);
    actions().putOnFirstFreeFader("bus:other");
    EXPECT_EQ(slotIDs()[8], "bus:other");
    // Any other stored count is eight.
    defaults().setInteger("consoleStrips", 12);
    actions().putOnFirstFreeFader("late");
    EXPECT_FALSE(slotIDs().contains("late"));
}

TEST_F(SourceGridActionsTest, TheMenuActsOnThePositionWorkedOutWhenItWasBuilt) {
    setSlots({"bus:main", "bus:phones", kPlayer, "", "x", "x", "x", "x", "", "", "", kRadio});

    const MenuModel onStrip = actions().tileMenu(kPlayer);
    ASSERT_EQ(onStrip.size(), 1u);
    EXPECT_EQ(onStrip[0].title, "Remove from fader 3");
    onStrip[0].action();
    EXPECT_EQ(slotIDs()[2], "");

    const MenuModel hidden = actions().tileMenu(kRadio);
    ASSERT_EQ(hidden.size(), 1u);
    EXPECT_EQ(hidden[0].title, "Remove from fader 12");

    const MenuModel off = actions().tileMenu("system_input");
    ASSERT_EQ(off.size(), 1u);
    EXPECT_EQ(off[0].title, "Put on fader 3");
    engine().setSlot("y", 2);  // the strip is taken after the menu was built
    off[0].action();
    EXPECT_EQ(slotIDs()[2], "system_input");
}

TEST(SourceGridColumns, AsManyColumnsAsFitEachAtMostOneHundredTwentyWide) {
    struct Case {
        double width;
        int count;
        double columnWidth;
    } cases[] = {
        {0, 1, 0},       {-20, 1, 0},   {60, 1, 60},    {91, 1, 91},
        {191, 1, 120},   {192, 2, 92},  {200, 2, 96},   {248, 2, 120},
        {292, 3, 92},    {316, 3, 100}, {492, 5, 92},   {600, 6, 92.0 + 8.0 / 6},
    };
    for (const Case& c : cases) {
        const auto columns = SourceGridColumns::fitting(c.width);
        EXPECT_EQ(columns.count, c.count) << c.width;
        EXPECT_DOUBLE_EQ(columns.width, c.columnWidth) << c.width;
    }

    // Leading-aligned, row by row, 8 apart; a row wider than needed leaves the trailing side free.
    const auto wide = SourceGridColumns::fitting(250);
    EXPECT_EQ(wide.cell(0, 60), QRectF(0, 0, 120, 60));
    EXPECT_EQ(wide.cell(1, 60), QRectF(128, 0, 120, 60));
    EXPECT_EQ(wide.cell(2, 60), QRectF(0, 68, 120, 60));
    EXPECT_DOUBLE_EQ(wide.height(3, 60), 128);
    EXPECT_DOUBLE_EQ(wide.height(4, 60), 128);
    EXPECT_DOUBLE_EQ(wide.height(0, 60), 0);
}

TEST(SourceGridPlacement, TheAppsSectionShowsItsEmptyTextOrItsTilesAboveTheIOSection) {
    const SourceGrid::Heights heights{13, 14, 60};
    // 300 wide: 272 inside the side paddings, two columns of 120.
    const SourceGrid::Placement none = SourceGrid::place(300, 0, 3, heights);
    EXPECT_EQ(none.apps.title, QRect(14, 12, 272, 13));
    EXPECT_EQ(none.apps.emptyText, QRect(14, 33, 272, 14));
    EXPECT_TRUE(none.apps.tiles.empty());
    EXPECT_EQ(none.io.title, QRect(14, 61, 272, 13));
    EXPECT_EQ(none.io.emptyText, std::nullopt) << "the I/O section has no empty text";
    EXPECT_EQ(none.io.tiles, (std::vector<QRect>{{14, 82, 120, 60}, {142, 82, 120, 60}, {14, 150, 120, 60}}));
    EXPECT_EQ(none.height, 224);

    const SourceGrid::Placement one = SourceGrid::place(300, 1, 0, heights);
    EXPECT_EQ(one.apps.emptyText, std::nullopt);
    EXPECT_EQ(one.apps.tiles, (std::vector<QRect>{{14, 33, 120, 60}}));
    EXPECT_EQ(one.io.title, QRect(14, 107, 272, 13));
    EXPECT_EQ(one.height, 142);

    // Narrower than the paddings: one column of nothing, never a negative width.
    EXPECT_EQ(SourceGrid::place(20, 1, 0, heights).apps.tiles, (std::vector<QRect>{{14, 33, 0, 60}}));
    EXPECT_EQ(SourceGrid::headerTitle(20), QRect(14, 0, 0, 44));
    EXPECT_EQ(SourceGrid::headerRule(300), QRect(0, 44, 300, 1));
    EXPECT_EQ(SourceGrid::contentTop(), 45);
}

}  // namespace
}  // namespace quellor::test
