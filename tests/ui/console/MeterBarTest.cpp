// The strip meter: its column, the peak hold and clip lamp on the monotonic clock, and the shared
// meter clock, all on virtual time.
#include "TestEnvironment.h"
#include "ui/console/ConsoleColors.h"
#include "ui/console/MeterBar.h"
#include "ui/console/MeterRepaintClock.h"

namespace quellor::test {
namespace {

class Meter : public QuellorTest {
protected:
    // Ticks the meter clock `n` times with the same level; the last column.
    MeterColumn ticks(int n, float level, bool isActive = true) {
        MeterColumn last;
        for (int i = 0; i < n; ++i) {
            advance(MeterRepaintClock::kInterval);
            last = bar.tick(level, scheduler().now(), isActive, false, 200, ThemeMode::Booth);
        }
        return last;
    }
    MeterBar bar{scheduler().now()};
};

TEST_F(Meter, TheBarIsLinearInTheLevelNeverBelowTwoPointsAndHiddenBelowTheFloor) {
    struct Case {
        float level;
        bool isActive;
        double travel, height, barHeight, barOpacity;
    };
    const Case cases[] = {
        {0.5f, true, 200, 200, 100, 1},  {0.01f, true, 200, 200, 2, 1},   {0.004f, true, 200, 200, 2, 0},
        {0.0f, true, 200, 200, 2, 0},    {-1.0f, true, 200, 200, 2, 0},   {NAN, true, 200, 200, 2, 0},
        {1.5f, true, 200, 200, 200, 1},  {0.5f, false, 200, 200, 100, 0}, {0.5f, true, -30, 2, 2, 1},
    };
    for (const Case& c : cases) {
        MeterBar fresh(0);
        const MeterColumn column = fresh.tick(c.level, 0.1, c.isActive, false, c.travel, ThemeMode::Booth);
        SCOPED_TRACE(testing::Message() << c.level << (c.isActive ? " active" : " inactive") << " travel " << c.travel);
        EXPECT_DOUBLE_EQ(column.height, c.height);
        EXPECT_NEAR(column.barHeight, c.barHeight, 1e-4);
        EXPECT_EQ(column.barOpacity, c.barOpacity);
    }
}

TEST_F(Meter, APeakIsHeldForMoreThanOnePointTwoSecondsThenFallsToTheLevel) {
    MeterColumn column = ticks(1, 0.9f);
    EXPECT_FLOAT_EQ(bar.hold().value(), 0.9f);
    EXPECT_DOUBLE_EQ(column.peakOffset, 0.9f * 200.0);
    ticks(12, 0.0f);  // 1.2 s after the peak: still held
    EXPECT_FLOAT_EQ(bar.hold().value(), 0.9f);
    ticks(1, 0.0f);
    EXPECT_FLOAT_EQ(bar.hold().value(), 0.86f);
    ticks(21, 0.0f);
    EXPECT_GT(bar.hold().value(), 0.0f);
    column = ticks(1, 0.0f);  // the 23rd fall meets the level
    EXPECT_EQ(bar.hold().value(), 0.0f);
    EXPECT_EQ(column.peakOpacity, 0);

    ticks(1, 0.5f);
    ticks(5, 0.3f);
    ticks(1, 0.5f);  // equal to the held peak: holds anew
    ticks(12, 0.3f);
    EXPECT_FLOAT_EQ(bar.hold().value(), 0.5f);
    ticks(1, 0.48f);
    EXPECT_FLOAT_EQ(bar.hold().value(), 0.48f) << "falls to the level, not below it";
}

TEST_F(Meter, TheClipLampStaysLitTwoSecondsAfterTheLastLoudReading) {
    MeterColumn column = ticks(1, 0.98f);
    const double loud = scheduler().now();
    EXPECT_EQ(column.lampOpacity, 1);
    EXPECT_TRUE(bar.hold().isClipping(loud + 1.99));
    EXPECT_FALSE(bar.hold().isClipping(loud + 2.0));
    column = ticks(19, 0.5f);
    EXPECT_EQ(column.lampOpacity, 1);
    column = ticks(1, 0.5f);
    EXPECT_EQ(column.lampOpacity, 0);

    ticks(5, 1.0f);
    column = ticks(15, 0.99f);
    EXPECT_EQ(column.lampOpacity, 1) << "lit for as long as loud readings keep coming";

    // An inactive meter shows nothing while its hold keeps following.
    column = ticks(1, 1.0f, false);
    EXPECT_EQ(column.lampOpacity, 0);
    EXPECT_EQ(column.peakOpacity, 0);
    EXPECT_TRUE(bar.hold().isClipping(scheduler().now()));
}

TEST_F(Meter, SegmentGapsAndGradientStops) {
    MeterBar fresh(0);
    EXPECT_EQ(fresh.tick(0.5f, 0, true, false, 20, ThemeMode::Booth).gaps, std::vector<double>({3, 7, 11, 15, 19}));
    EXPECT_TRUE(fresh.tick(0.5f, 0, true, false, 3, ThemeMode::Booth).gaps.empty());
    for (ThemeMode theme : kAllThemes) {
        const Palette p = palette(theme);
        using Stop = MeterColumn::Stop;
        EXPECT_EQ(fresh.tick(0.5f, 0, true, false, 200, theme).gradient,
                  std::vector<Stop>({{0, standardRed(theme)}, {0.14, standardYellow(theme)}, {0.32, p.signal},
                                     {1, withOpacity(p.signal, 0.35)}}));
        EXPECT_EQ(fresh.tick(0.5f, 0, true, true, 200, theme).gradient,
                  std::vector<Stop>({{0, withOpacity(cueColor(theme), 0.95)}, {1, withOpacity(cueColor(theme), 0.3)}}));
    }
}

TEST_F(Meter, ThePartsStandOnTheColumnsFootWithTheLampOverItsTop) {
    MeterBar fresh(0);
    fresh.tick(1.0f, 0, true, false, 200, ThemeMode::Booth);  // holds a peak at full level
    const MeterColumn column = fresh.tick(0.5f, 0.1, true, false, 200, ThemeMode::Booth);
    // The widget's foot: the column's 200 under the lamp's rise of 7.
    const double bottom = 207;
    EXPECT_EQ(column.barRect(bottom), QRectF(0.5, 107, 4, 100));
    EXPECT_EQ(column.peakRect(bottom), QRectF(0, 5.5, 5, 1.5));
    const std::vector<QRectF> gaps = column.gapRects(bottom);
    ASSERT_EQ(gaps.size(), column.gaps.size());
    EXPECT_EQ(gaps.front(), QRectF(0, 10, 5, 1.2));
    EXPECT_EQ(gaps.back(), QRectF(0, 206, 5, 1.2));
    EXPECT_EQ(column.lampRect(bottom), QRectF(0, 0, 5, 5));
}

TEST_F(Meter, OneClockTicksEveryTenthOfASecondWhileItHasSubscribers) {
    MeterRepaintClock clock(&scheduler());
    std::vector<double> a, b;
    EXPECT_FALSE(clock.isRunning());
    MeterRepaintClock::Subscription first = clock.subscribe([&](double now) { a.push_back(now); });
    MeterRepaintClock::Subscription second = clock.subscribe([&](double now) {
        b.push_back(now);
        first.reset();  // a listener may end another subscription during a tick
    });
    advance(0.25);
    EXPECT_EQ(a.size(), 1u);
    ASSERT_EQ(b.size(), 2u);
    EXPECT_NEAR(b[1] - b[0], 0.1, 1e-9);
    second.reset();
    EXPECT_FALSE(clock.isRunning());
    advance(1);
    EXPECT_EQ(b.size(), 2u);

    MeterRepaintClock::Subscription outlives;
    {
        MeterRepaintClock shortLived(&scheduler());
        outlives = shortLived.subscribe([&](double) { a.push_back(-1); });
    }
    advance(1);
    outlives.reset();
    EXPECT_EQ(a.size(), 1u);
}

}  // namespace
}  // namespace quellor::test
