#include "engine/StripStyle.h"

namespace quellor {

QJsonValue json::Coding<StripStyle>::encode(const StripStyle& v) {
    return json::ObjectWriter()
        .setIfPresent("name", v.name)
        .setIfPresent("color", v.color)
        .setIfPresent("group", v.group)
        .object();
}

std::optional<StripStyle> json::Coding<StripStyle>::decode(const QJsonValue& value) {
    json::ObjectReader in(value);
    StripStyle v;
    v.name = in.optional<QString>("name");
    v.color = in.optional<int>("color");
    v.group = in.optional<QString>("group");
    return in.result(std::move(v));
}

}  // namespace quellor
