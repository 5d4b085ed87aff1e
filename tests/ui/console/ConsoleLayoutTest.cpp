// How the console's grid of slots stands in the space it is given.
#include <gtest/gtest.h>

#include "ui/console/ConsoleLayout.h"

namespace quellor {
namespace {

TEST(ConsoleLayout, ArrangementFollowsTheSpaceAndTheCount) {
    struct Case {
        double width, height;
        qint64 requested;
        int strips, perRow, rows;
        double spacing, stripHeight;
        bool compact;
        double widthLimit;
        bool scrolls;
    };
    const Case cases[] = {
        // One row of eight: tall strips, and compact only by the width test.
        {1000, 600, 8, 8, 8, 1, 4, 600, false, 120, false},
        {584, 600, 8, 8, 8, 1, 4, 600, true, 120, false},  // (584 − 16) / 8 = 71 < 74
        {600, 600, 8, 8, 8, 1, 4, 600, true, 120, false},  // 73
        {608, 600, 8, 8, 8, 1, 4, 600, false, 120, false},  // 74
        // Just below 584 the rows hold four.
        {583.9, 600, 8, 8, 4, 2, 4, 298, false, 100, false},
        {1000, 600, 16, 16, 8, 2, 4, 298, false, 100, false},
        // Four rows of four space their rows 6 apart: (700 − 18) / 4 = 170.5 lifts to 220 and scrolls.
        {400, 700, 16, 16, 4, 4, 6, 220, true, 100, true},
        {400, 1018, 16, 16, 4, 4, 6, 250, false, 100, false},
        // The height floor and the compact boundary.
        {1000, 220, 8, 8, 8, 1, 4, 220, true, 120, false},
        {1000, 219.5, 8, 8, 8, 1, 4, 220, true, 120, true},
        {1000, 249.5, 8, 8, 8, 1, 4, 249.5, true, 120, false},
        {1000, 250, 8, 8, 8, 1, 4, 250, false, 120, false},
        // Only 8 and 16 are strip counts.
        {1000, 600, 12, 8, 8, 1, 4, 600, false, 120, false},
        {1000, 600, 0, 8, 8, 1, 4, 600, false, 120, false},
        {1000, 600, -16, 8, 8, 1, 4, 600, false, 120, false},
        {1000, 600, 32, 8, 8, 1, 4, 600, false, 120, false},
    };
    for (const Case& c : cases) {
        const ConsoleLayout l = ConsoleLayout::of({c.width, c.height}, c.requested);
        const auto where = testing::Message() << c.width << " x " << c.height << ", " << c.requested << " strips";
        EXPECT_EQ(l.stripCount, c.strips) << where;
        EXPECT_EQ(l.perRow, c.perRow) << where;
        EXPECT_EQ(l.rows, c.rows) << where;
        EXPECT_EQ(l.rowSpacing, c.spacing) << where;
        EXPECT_EQ(l.stripHeight, c.stripHeight) << where;
        EXPECT_EQ(l.compact, c.compact) << where;
        EXPECT_EQ(l.stripWidthLimit, c.widthLimit) << where;
        EXPECT_EQ(l.scrolls, c.scrolls) << where;
    }
}

TEST(ConsoleLayout, RowsSpreadTheirCellsFromEdgeToEdge) {
    // Wide: the cells keep their 120-point limit and the gaps take the rest.
    const ConsoleLayout wide = ConsoleLayout::of({1200, 600}, 8);
    EXPECT_EQ(wide.cellRect(0), QRectF(0, 0, 120, 600));
    EXPECT_DOUBLE_EQ(wide.cellRect(7).right(), 1200);
    EXPECT_NEAR(wide.cellRect(1).left() - wide.cellRect(0).right(), wide.cellRect(7).left() - wide.cellRect(6).right(),
                1e-9);
    // Narrower: the gaps shrink to 8 and the cells give way.
    const ConsoleLayout tight = ConsoleLayout::of({800, 600}, 8);
    EXPECT_DOUBLE_EQ(tight.cellWidth(), 93);
    EXPECT_DOUBLE_EQ(tight.gap(), 8);
    EXPECT_DOUBLE_EQ(tight.cellRect(7).right(), 800);
    // Sixteen in two rows of eight: slot 9 stands second in the second row.
    const ConsoleLayout two = ConsoleLayout::of({1200, 600}, 16);
    EXPECT_EQ(two.rowOf(9), 1);
    EXPECT_EQ(two.cellRect(9).topLeft(), QPointF(two.cellRect(1).left(), 298 + 4));
    EXPECT_DOUBLE_EQ(two.contentHeight(), 600);
    // A scrolling grid is taller than its space.
    const ConsoleLayout scrolling = ConsoleLayout::of({400, 700}, 16);
    EXPECT_DOUBLE_EQ(scrolling.contentHeight(), 4 * 220 + 3 * 6);
    EXPECT_DOUBLE_EQ(scrolling.cellRect(15).bottom(), scrolling.contentHeight());
}

TEST(ConsoleLayout, TheAvailableAreaLiesInsideThePaddingOfAtLeastTheMinimumSize) {
    EXPECT_EQ(ConsoleLayout::availableSize({900, 500}), QSizeF(884, 484));
    EXPECT_EQ(ConsoleLayout::availableSize({100, 50}), QSizeF(264, 184));
}

}  // namespace
}  // namespace quellor
