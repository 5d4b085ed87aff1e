#pragma once
// The stereo pairs of a multichannel output and the choice of the MAIN and PHONES pairs on it.
// Pure arithmetic; callable from any thread.

#include <QString>
#include <optional>
#include <utility>
#include <vector>

namespace quellor::ChannelPairingPolicy {

// Channels offset and offset + 1 (0-based).
struct Pair {
    int offset = 0;
    // "1/2", "3/4", ...
    QString label() const;
    bool operator==(const Pair& other) const { return offset == other.offset; }
};

// One pair at each even offset below channelCount - 1; a trailing odd channel forms no pair.
std::vector<Pair> pairs(int channelCount);

// Valid, distinct (main, phones) offsets for the requested ones, or nothing below two pairs. A
// request that is no pair offset falls back to the first pair (MAIN) or the second (PHONES); when
// both land on one pair, PHONES moves to the lowest other pair, which may lie below MAIN.
std::optional<std::pair<int, int>> resolve(int main, int phones, int channelCount);

}  // namespace quellor::ChannelPairingPolicy
