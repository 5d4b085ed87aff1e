// The main window's decisions: the sources column's width, where its parts go, the split handle's
// drag and the table of requests to sheets.
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

TEST(MainWindowLayout, TheColumnsAndTheNoticesFollowTheSlideOfTheSourcesColumn) {
    // A 319-wide sources column in a 1180 x 900 window; the notices need 30 at any width.
    struct Case {
        double shown;
        int noticeHeight;
        QRect sources, hairline, console, consoleContent;
        std::optional<QRect> notices;
        int askedWidth;  // the width the notices were measured at
    };
    const Case cases[] = {
        // In full view the notices sit over the sources, 8 in from its edges.
        {1, 30, {0, 0, 319, 900}, {320, 0, 1, 900}, {321, 0, 859, 900}, {0, 45, 859, 855}, QRect(8, 8, 303, 30), 303},
        // Halfway out (the column and its two pixels move 160.5, rounded away from zero) the notices
        // go to the console column, under its top bar and its hair line.
        {0.5, 30, {-161, 0, 319, 900}, {159, 0, 1, 900}, {160, 0, 1020, 900}, {0, 91, 1020, 809}, QRect(168, 53, 1004, 30),
         1004},
        // Hidden, with nothing to tell: the console takes the window.
        {0, 0, {}, {}, {0, 0, 1180, 900}, {0, 45, 1180, 855}, std::nullopt, 1164},
    };
    for (const Case& c : cases) {
        int asked = -1;
        const MainWindowFrames f = mainWindowFrames(QSize(1180, 900), 318.6, c.shown, [&](int width) {
            asked = width;
            return c.noticeHeight;
        });
        EXPECT_EQ(f.sourcesShown, c.shown > 0) << c.shown;
        EXPECT_EQ(f.handleShown, c.shown == 1) << c.shown;
        if (f.sourcesShown) {
            EXPECT_EQ(f.sources, c.sources) << c.shown;
            EXPECT_EQ(f.hairline, c.hairline) << c.shown;
            EXPECT_EQ(f.handleSlot, 319) << c.shown;
            EXPECT_EQ(f.sourcesContent.top(), c.shown == 1 ? 46 : 0) << c.shown;
        }
        EXPECT_EQ(f.console, c.console) << c.shown;
        EXPECT_EQ(f.topBar, QRect(0, 0, c.console.width(), 45)) << c.shown;
        EXPECT_EQ(f.consoleContent, c.consoleContent) << c.shown;
        EXPECT_EQ(f.notices, c.notices) << c.shown;
        EXPECT_EQ(asked, c.askedWidth) << c.shown;
    }
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
