#include "audio/ChannelPairingPolicy.h"

#include <algorithm>

namespace quellor::ChannelPairingPolicy {

QString Pair::label() const { return QStringLiteral("%1/%2").arg(offset + 1).arg(offset + 2); }

std::vector<Pair> pairs(int channelCount) {
    std::vector<Pair> result;
    for (int offset = 0; offset < channelCount - 1; offset += 2) result.push_back(Pair{offset});
    return result;
}

std::optional<std::pair<int, int>> resolve(int main, int phones, int channelCount) {
    std::vector<Pair> all = pairs(channelCount);
    if (all.size() < 2) return std::nullopt;
    auto isPair = [&](int offset) { return std::find(all.begin(), all.end(), Pair{offset}) != all.end(); };
    int m = isPair(main) ? main : all[0].offset;
    int p = isPair(phones) ? phones : all[1].offset;
    if (m == p) p = m == all[0].offset ? all[1].offset : all[0].offset;
    return std::make_pair(m, p);
}

}  // namespace quellor::ChannelPairingPolicy
