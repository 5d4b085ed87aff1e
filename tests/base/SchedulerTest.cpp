#include <gtest/gtest.h>

#include <QCoreApplication>
#include <algorithm>
#include <thread>
#include <vector>

#include "TestEnvironment.h"
#include "base/QtScheduler.h"

namespace quellor {
namespace {

class VirtualSchedulerTest : public test::QuellorTest {};

TEST_F(VirtualSchedulerTest, RunsDueWorkInTimeOrderThenInSchedulingOrder) {
    std::vector<int> order;
    scheduler().after(0.5, [&] { order.push_back(3); });
    scheduler().after(0.2, [&] { order.push_back(1); });
    scheduler().after(0.2, [&] { order.push_back(2); });
    scheduler().post([&] { order.push_back(0); });
    scheduler().advance(0.3);
    EXPECT_EQ(order, (std::vector<int>{0, 1, 2}));
    EXPECT_DOUBLE_EQ(scheduler().now(), 0.3);
    scheduler().advance(0.3);
    EXPECT_EQ(order, (std::vector<int>{0, 1, 2, 3}));
}

TEST_F(VirtualSchedulerTest, RepeatsUntilCancelledAndSeesItsOwnTime) {
    std::vector<double> times;
    TaskId id = scheduler().every(1.0, [&] { times.push_back(scheduler().now()); });
    scheduler().advance(3.5);
    scheduler().cancel(id);
    scheduler().advance(5);
    EXPECT_EQ(times, (std::vector<double>{1.0, 2.0, 3.0}));
}

TEST_F(VirtualSchedulerTest, CancelledAndReplacedTasksNeverRun) {
    int runs = 0;
    TaskSlot slot;
    slot.set(scheduler().after(0.4, [&] { runs += 1; }));
    slot.set(scheduler().after(0.4, [&] { runs += 10; }));  // a newer request cancels the older
    scheduler().advance(1);
    EXPECT_EQ(runs, 10);
    scheduler().cancel(0);
    scheduler().cancel(12345);
}

TEST_F(VirtualSchedulerTest, WorkScheduledByWorkRunsWhenDue) {
    std::vector<double> times;
    scheduler().after(1, [&] {
        times.push_back(scheduler().now());
        scheduler().after(1, [&] { times.push_back(scheduler().now()); });
        scheduler().post([&] { times.push_back(scheduler().now()); });
    });
    scheduler().advance(10);
    EXPECT_EQ(times, (std::vector<double>{1, 1, 2}));
}

TEST_F(VirtualSchedulerTest, LivenessGuardDropsWorkOfAGoneOwner) {
    int runs = 0;
    auto owner = std::make_unique<Liveness>();
    scheduler().post(owner->guard([&] { ++runs; }));
    owner.reset();
    scheduler().runPending();
    EXPECT_EQ(runs, 0);
}

// A pause of `delay` runs the action; a stream that never pauses still runs it every `longest`,
// with the latest request's action; runNow and cancel settle what waits.
TEST_F(VirtualSchedulerTest, DebouncerRunsAfterAPauseOrAtTheLongestDelay) {
    Debouncer debounce(0.4, 1.5);
    std::vector<std::pair<double, int>> runs;
    auto request = [&](int value) { debounce.request([&, value] { runs.emplace_back(scheduler().now(), value); }); };

    request(1);
    scheduler().advance(0.3);
    request(2);
    scheduler().advance(0.3);
    EXPECT_TRUE(runs.empty()) << "each request within the delay pushes the run back";
    scheduler().advance(0.1);
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_NEAR(runs[0].first, 0.7, 1e-9);
    EXPECT_EQ(runs[0].second, 2);

    // 16 requests a second for 5 s: runs at 1.5 s, 3 s and 4.5 s after the stream began, and once
    // more after it ends.
    runs.clear();
    const double start = scheduler().now();
    for (int i = 0; i < 80; ++i) {
        request(i);
        scheduler().advance(0.0625);
    }
    scheduler().advance(1);
    std::vector<double> offsets;
    for (const auto& run : runs) offsets.push_back(run.first - start);
    ASSERT_EQ(offsets.size(), 4u);
    EXPECT_NEAR(offsets[0], 1.5, 1e-6);
    EXPECT_NEAR(offsets[1], 3.0, 1e-6);
    EXPECT_NEAR(offsets[2], 4.5, 1e-6);
    EXPECT_NEAR(offsets[3], 4.9375 + 0.4, 1e-6);
    EXPECT_EQ(runs.back().second, 79);

    runs.clear();
    EXPECT_FALSE(debounce.runNow());
    request(7);
    EXPECT_TRUE(debounce.runNow());
    request(8);
    debounce.cancel();
    EXPECT_FALSE(debounce.pending());
    scheduler().advance(2);
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].second, 7);
}

// A reader thread stamps what it receives with now() while the main thread runs the scheduler's
// work and moves its time: it sees one clock that only moves forward.
TEST(SchedulerClock, IsReadableFromAnotherThreadWhileTheMainThreadRuns) {
    VirtualScheduler virtualTime;
    QtScheduler qtTimers;
    for (Scheduler* scheduler : std::initializer_list<Scheduler*>{&virtualTime, &qtTimers}) {
        std::vector<double> readings;
        std::thread reader([&] {
            for (int i = 0; i < 20000; ++i) readings.push_back(scheduler->now());
        });
        for (int i = 0; i < 200; ++i) {
            scheduler->post([] {});
            virtualTime.advance(0.01);
            QCoreApplication::processEvents();
        }
        reader.join();
        EXPECT_TRUE(std::is_sorted(readings.begin(), readings.end()));
        EXPECT_LE(readings.back(), scheduler->now());
    }
}

}  // namespace
}  // namespace quellor
