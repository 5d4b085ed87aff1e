#include <gtest/gtest.h>

#include "engine/MeterFeedGate.h"

namespace quellor {
namespace {

TEST(MeterFeedGate, OpensOnFirstContactStaysOpenFor20SecondsAndReopensAfterSilence) {
    MeterFeedGate gate;
    EXPECT_FALSE(gate.isOpen(0));
    EXPECT_FALSE(gate.expire(100)) << "nothing to expire";
    EXPECT_TRUE(gate.touch(100));
    EXPECT_FALSE(gate.touch(110)) << "a contact inside the window";
    EXPECT_TRUE(gate.isOpen(130));
    EXPECT_FALSE(gate.expire(130)) << "exactly 20 s is still open";
    EXPECT_FALSE(gate.isOpen(130.5));
    EXPECT_TRUE(gate.touch(135)) << "a contact after 25 s reopens the feed";
    EXPECT_EQ(gate.lastContact, 135.0);
}

TEST(MeterFeedGate, ExpiringForgetsTheContactOnce) {
    MeterFeedGate gate;
    gate.touch(0);
    EXPECT_TRUE(gate.expire(21));
    EXPECT_FALSE(gate.lastContact);
    EXPECT_FALSE(gate.expire(22));
    EXPECT_TRUE(gate.touch(23));
}

}  // namespace
}  // namespace quellor
