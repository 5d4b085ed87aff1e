#include "TestEnvironment.h"
#include "audio/ChannelPairingPolicy.h"

namespace quellor {
namespace {

namespace P = ChannelPairingPolicy;

TEST(ChannelPairingPolicyTest, PairsAreAdjacentChannelsAndATrailingOddChannelFormsNone) {
    struct Case {
        int channels;
        std::vector<int> offsets;
    } cases[] = {{-1, {}}, {0, {}}, {1, {}}, {2, {0}}, {3, {0}}, {5, {0, 2}}, {18, {0, 2, 4, 6, 8, 10, 12, 14, 16}}};
    for (const Case& c : cases) {
        std::vector<int> offsets;
        for (const auto& p : P::pairs(c.channels)) offsets.push_back(p.offset);
        EXPECT_EQ(offsets, c.offsets) << c.channels;
    }
    EXPECT_EQ(P::Pair{0}.label(), QStringLiteral("1/2"));
    EXPECT_EQ(P::Pair{16}.label(), QStringLiteral("17/18"));
}

TEST(ChannelPairingPolicyTest, ResolveGivesTwoValidDistinctPairs) {
    using R = std::optional<std::pair<int, int>>;
    struct Case {
        int main, phones, channels;
        R expected;
    } cases[] = {
        {0, 2, 3, std::nullopt},  // one pair only
        {0, 2, 4, R({0, 2})},
        {1, 3, 8, R({0, 2})},     // not pair offsets
        {4, 4, 8, R({4, 0})},     // the same pair: PHONES moves to the lowest other
        {0, 0, 8, R({0, 2})},
        {2, 0, 8, R({2, 0})},     // PHONES may lie below MAIN
        {6, 8, 8, R({6, 2})},     // past the last pair
        {-2, 6, 8, R({0, 6})},
    };
    for (const Case& c : cases)
        EXPECT_EQ(P::resolve(c.main, c.phones, c.channels), c.expected) << c.main << " " << c.phones << " " << c.channels;
}

}  // namespace
}  // namespace quellor
