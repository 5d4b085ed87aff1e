// The main window's decisions: the sources column's width, the split handle's drag and the table of
// requests to sheets.
#include <gtest/gtest.h>

#include "app/MainWindowLayout.h"
#include "app/SplitDrag.h"

using namespace quellor;

TEST(MainWindowLayout, ColumnWidthIsTheStoredWidthCappedAtTwentySevenPercent) {
    struct Case {
        double stored, window, expected;
    };
    const Case cases[] = {
        {344, 1180, 318.6},  // 27 % of the window wins
        {344, 1300, 344},    // the stored width fits
        {344, 840, 240},     // 27 % would be under 240
        {300, 840, 240},
        {300, 1400, 300},    // widening the window restores the stored width
    };
    for (const auto& c : cases) EXPECT_NEAR(sourcesColumnWidth(c.stored, c.window), c.expected, 1e-9) << c.stored << " in " << c.window;
}

TEST(MainWindowLayout, SplitDragClampsAndMeasuresFromWhereItBegan) {
    SplitDrag drag(300, 520, /*growsAway*/ false);
    EXPECT_EQ(drag.changed(344, 10), 354);
    EXPECT_EQ(drag.changed(354, 1000), 520);  // still measured from 344
    EXPECT_EQ(drag.changed(520, -1000), 300);
    drag.ended();
    EXPECT_EQ(drag.changed(300, 25), 325);    // a new drag starts from the stored width
    SplitDrag away(100, 400, /*growsAway*/ true);
    EXPECT_EQ(away.changed(200, 30), 170);
}

TEST(MainWindowLayout, RequestsOpenAndCloseTheSheets) {
    SheetState s;
    s.handle(AppNotification::RenameSetup);
    EXPECT_EQ(s.setupPrompt, SetupPrompt::Rename);
    s.handle(AppNotification::NewSetup);  // replaces the rename prompt
    EXPECT_EQ(s.setupPrompt, SetupPrompt::New);
    s.handle(AppNotification::ShowSettings);
    EXPECT_TRUE(s.showSettings);
    EXPECT_EQ(s.setupPrompt, SetupPrompt::New);  // the two sheets are independent
    s.handle(AppNotification::DismissSheets);
    EXPECT_FALSE(s.showSettings);
    EXPECT_FALSE(s.setupPrompt);

    EXPECT_EQ(promptText(SetupPrompt::New, QString("Mix")).title, "New setup");
    EXPECT_EQ(promptText(SetupPrompt::New, QString("Mix")).initial, "");
    EXPECT_EQ(promptText(SetupPrompt::Rename, QString("Mix")).initial, "Mix");
    EXPECT_EQ(promptText(SetupPrompt::Rename, std::nullopt).title, "Rename setup");
    EXPECT_EQ(promptText(SetupPrompt::Rename, std::nullopt).initial, "");
}

TEST(MainWindowLayout, TheSidebarSlideEasesInAndOut) {
    const std::pair<double, double> cases[] = {{-1, 0}, {0, 0}, {0.25, 0.125}, {0.5, 0.5}, {0.75, 0.875}, {1, 1}, {2, 1}};
    for (const auto& [t, eased] : cases) EXPECT_DOUBLE_EQ(easeInOut(t), eased) << t;
}
