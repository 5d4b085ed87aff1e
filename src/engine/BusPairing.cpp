#include "engine/BusPairing.h"

namespace quellor {

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
