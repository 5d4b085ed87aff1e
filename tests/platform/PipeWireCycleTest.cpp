// The timing of an aggregate's render cycle, step by step through one cycle clock at 1 MHz (one
// frame is one microsecond, so that every time is a whole number of nanoseconds).
#include <gtest/gtest.h>

#include <vector>

#include "platform/PipeWireCycle.h"

namespace quellor {
namespace {

TEST(PipeWireCycleTest, LengthComesFromTheBuffersAndHostTimesFollowTheSampleClock) {
    struct Step {
        const char* what;
        std::vector<std::uint32_t> delivered;
        std::uint64_t wall;
        std::uint32_t frames;  // 0: nothing to render
        double sample;
        std::uint64_t host;
    };
    constexpr std::uint64_t ms = 1'000'000;
    const Step steps[] = {
        {"no port yet, no length yet", {}, 1 * ms, 0, 0, 0},
        {"ports that delivered nothing give no length", {0, 0}, 1 * ms, 0, 0, 0},
        {"the fewest frames delivered; the first cycle anchors", {256, 128}, 2 * ms, 128, 0, 2 * ms},
        {"a silent port does not shorten the cycle; jitter keeps the clock", {256, 0, 512}, 2 * ms + 128'000 + 9'000, 256,
         128, 2 * ms + 128'000},
        {"nothing delivered keeps the last length", {0, 0}, 2 * ms + 384'000 - 400'000, 256, 384, 2 * ms + 384'000},
        {"more than the largest quantum is cut to it", {20000, 20000}, 2 * ms + 640'000, 8192, 640, 2 * ms + 640'000},
        {"a stall of more than two cycles re-anchors", {64}, 50 * ms, 64, 8832, 50 * ms},
        {"so does a clock far behind", {64}, 49 * ms, 64, 8896, 49 * ms},
        {"and the next cycle meets the new anchor", {64}, 49 * ms + 64'000, 64, 8960, 49 * ms + 64'000},
    };
    PipeWireCycle cycle(1'000'000.0);
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        const auto t = cycle.next(step.delivered.data(), step.delivered.size(), step.wall);
        if (step.frames == 0) {
            EXPECT_FALSE(t.has_value());
            continue;
        }
        ASSERT_TRUE(t.has_value());
        EXPECT_EQ(t->frames, step.frames);
        EXPECT_EQ(t->now.sampleTime, step.sample);
        EXPECT_EQ(t->now.hostTime, step.host);
        // What is written now is heard one cycle on.
        EXPECT_EQ(t->output.sampleTime, step.sample + step.frames);
        EXPECT_EQ(t->output.hostTime, step.host + step.frames * 1000ULL);
    }
}

}  // namespace
}  // namespace quellor
