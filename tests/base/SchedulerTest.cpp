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
