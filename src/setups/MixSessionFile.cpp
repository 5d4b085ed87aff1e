#include "setups/MixSessionFile.h"

namespace quellor {

QJsonValue json::Coding<MixSessionFile>::encode(const MixSessionFile& v) {
    return json::ObjectWriter().setIfPresent("currentID", v.currentID).set("sessions", v.sessions).object();
}

std::optional<MixSessionFile> json::Coding<MixSessionFile>::decode(const QJsonValue& value) {
    json::ObjectReader in(value);
    MixSessionFile v;
    v.currentID = in.optional<QUuid>("currentID");
    v.sessions = in.required<std::vector<MixSession>>("sessions");
    return in.result(std::move(v));
}

}  // namespace quellor
