// The single-producer single-consumer ring under two real threads: a writer pushes a numbered
// sequence as fast as it can while the reader pops in bursts of random length. Whatever the
// interleaving, the reader sees every accepted element once, in order, and each element whole (its
// two halves written by one push). Under ThreadSanitizer this is also the race check of the ring.
#include <gtest/gtest.h>

#include <atomic>
#include <random>
#include <thread>
#include <vector>

#include "engine/SpscRing.h"

namespace quellor {
namespace {

struct Item {
    std::uint64_t sequence = 0;
    std::uint64_t check = 0;  // ~sequence: a torn element shows as a mismatch
};

TEST(SpscRing, TwoThreadsSeeEveryAcceptedElementOnceInOrderAndWhole) {
    SpscRing<Item, 64> ring;
    constexpr std::uint64_t kCount = 200'000;
    std::atomic<bool> writerDone{false};
    std::vector<std::uint64_t> accepted;
    accepted.reserve(kCount);

    std::thread writer([&] {
        for (std::uint64_t n = 1; n <= kCount; ++n)
            if (ring.push(Item{n, ~n})) accepted.push_back(n);
        writerDone.store(true, std::memory_order_release);
    });

    std::mt19937 random(12345);
    std::uniform_int_distribution<int> burst(0, 100);
    std::vector<std::uint64_t> seen;
    seen.reserve(kCount);
    bool torn = false;
    auto drain = [&](int limit) {
        Item item;
        for (int i = 0; i < limit && ring.pop(item); ++i) {
            torn |= item.check != ~item.sequence;
            seen.push_back(item.sequence);
        }
    };
    while (!writerDone.load(std::memory_order_acquire)) drain(burst(random));
    writer.join();
    drain(std::numeric_limits<int>::max());

    EXPECT_FALSE(torn);
    EXPECT_TRUE(ring.empty());
    EXPECT_EQ(seen, accepted);  // every accepted element once, in push order, nothing invented
    EXPECT_FALSE(accepted.empty());
}

TEST(SpscRing, AFullRingRefusesAndKeepsWhatItHolds) {
    SpscRing<int, 4> ring;
    for (int i = 0; i < 4; ++i) EXPECT_TRUE(ring.push(i));
    EXPECT_FALSE(ring.push(99));
    int v = -1;
    for (int i = 0; i < 4; ++i) {
        ASSERT_TRUE(ring.pop(v));
        EXPECT_EQ(v, i);
    }
    EXPECT_FALSE(ring.pop(v));
    EXPECT_TRUE(ring.empty());
}

}  // namespace
}  // namespace quellor
