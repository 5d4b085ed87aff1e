// The menu-bar recording card: its placement, its bars, the drag threshold and the one-time status
// item positions.
#include <gtest/gtest.h>

#include "TestEnvironment.h"
#include "app/MenuBarExportCard.h"

using namespace quellor;

TEST(MenuBarCard, CentredOnWholePixelsWithHalvesAwayFromZero) {
    struct Case {
        QSizeF bounds;
        QPointF offset;
    };
    const Case cases[] = {
        {{52, 22}, {0, 0}}, {{60, 22}, {4, 0}}, {{61, 22}, {5, 0}}, {{52, 25}, {0, 2}}, {{51, 22}, {-1, 0}},
    };
    for (const auto& c : cases) EXPECT_EQ(card::offset(c.bounds), c.offset) << c.bounds.width() << "x" << c.bounds.height();
}

TEST(MenuBarCard, BarsAreCentredInTheWaveformAreaWithAFloorAndACeiling) {
    auto bars = card::bars({1.7, 0.0, -0.5, 0.5});
    ASSERT_EQ(bars.size(), 4u);
    const double span = 4 * 2.3 - 0.7;
    EXPECT_NEAR(bars[0].x(), 18 + (34 - span) / 2, 1e-9);
    EXPECT_NEAR(bars[1].x() - bars[0].x(), 2.3, 1e-9);
    EXPECT_DOUBLE_EQ(bars[0].height(), 11);  // above 1 draws the full 11
    EXPECT_DOUBLE_EQ(bars[1].height(), 1.6);
    EXPECT_DOUBLE_EQ(bars[2].height(), 1.6);
    EXPECT_DOUBLE_EQ(bars[3].height(), 5.5);
    for (const auto& bar : bars) {
        EXPECT_DOUBLE_EQ(bar.width(), 1.6);
        EXPECT_DOUBLE_EQ(bar.center().y(), 11);
    }
    EXPECT_TRUE(card::bars({}).empty());
}

TEST(MenuBarCard, ADragStartsPastThreePixelsOncePerPressAndNeverWhileRecording) {
    card::Press press;
    press.down({10, 10});
    EXPECT_FALSE(press.moved({13, 10}, false, true));  // exactly 3
    EXPECT_TRUE(press.moved({13.1, 10}, false, true));
    EXPECT_FALSE(press.moved({30, 10}, false, true));  // the same press drags once
    press.down({10, 10});
    EXPECT_FALSE(press.moved({30, 10}, /*recording*/ true, true));
    EXPECT_FALSE(press.moved({30, 10}, false, /*ready file*/ false));
    press.up();
    EXPECT_FALSE(press.pending());
    EXPECT_FALSE(press.moved({30, 10}, false, true));
}

class StatusItemPositions : public test::QuellorTest {};

TEST_F(StatusItemPositions, SeededOnceThenLeftToTheUser) {
    seedStatusItemPositions(defaults());
    EXPECT_EQ(defaults().integerOr("NSStatusItem Preferred Position QuellorMain", 0), 2);
    EXPECT_EQ(defaults().integerOr("NSStatusItem Preferred Position QuellorRecording", 0), 3);
    EXPECT_EQ(defaults().integerOr("NSStatusItem Preferred Position Item-0", 0), 4);
    EXPECT_TRUE(defaults().boolOr("menuBarPriorityV3", false));
    defaults().setInteger("NSStatusItem Preferred Position QuellorMain", 7);  // the user moved it
    seedStatusItemPositions(defaults());
    EXPECT_EQ(defaults().integerOr("NSStatusItem Preferred Position QuellorMain", 0), 7);
}
