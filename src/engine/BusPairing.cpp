#include "engine/BusPairing.h"

#include <algorithm>

#include "audio/ChannelPairingPolicy.h"

namespace quellor {

std::optional<BusLayout> BusPairing::layoutOn(int outputChannels) const {
    if (outputChannels < 4) return std::nullopt;
    const auto resolved = ChannelPairingPolicy::resolve(mainOffset, phonesOffset, outputChannels);
    if (!resolved) return std::nullopt;
    return BusLayout{std::max(0, resolved->first), std::max(0, resolved->second), 2};
}

QJsonValue json::Coding<BusPairing>::encode(const BusPairing& v) {
    return json::ObjectWriter().set("mainOffset", v.mainOffset).set("phonesOffset", v.phonesOffset).object();
}

std::optional<BusPairing> json::Coding<BusPairing>::decode(const QJsonValue& value) {
    json::ObjectReader in(value);
    BusPairing v;
    v.mainOffset = in.required<int>("mainOffset");
    v.phonesOffset = in.required<int>("phonesOffset");
    return in.result(v);
}

}  // namespace quellor
