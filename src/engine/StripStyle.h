#pragma once
// The look of one console strip: a name that replaces the source's own, a colour index into the
// 8-colour strip palette and a group tag, each optional. The engine keeps strip id -> StripStyle
// under "stripStyles"; setups carry the same records with the same coding.
//
// JSON: "name", "color", "group", each written only when present; missing or null reads as
// absent, a wrong type fails the record. An empty style is the empty object.

#include <QString>
#include <map>
#include <optional>

#include "base/JsonCoding.h"

namespace quellor {

struct StripStyle {
    std::optional<QString> name;
    std::optional<int> color;  // palette index; may be any integer in stored data
    std::optional<QString> group;

    bool operator==(const StripStyle&) const = default;
};

// Styles keyed by strip id.
using StripStyleMap = std::map<QString, StripStyle>;

template <>
struct json::Coding<StripStyle> {
    static QJsonValue encode(const StripStyle& v);
    static std::optional<StripStyle> decode(const QJsonValue& v);
};

}  // namespace quellor
