#include "remote/MIDIMapping.h"

#include "base/Json.h"

#include <cmath>
#include <limits>

namespace quellor {

QJsonObject MIDIMapping::toJson() const {
    QJsonObject o;
    o.insert("target", target);
    if (sourceID) o.insert("sourceID", qint64(*sourceID));
    return o;
}

std::optional<MIDIMapping> MIDIMapping::fromJson(const QJsonValue& value) {
    if (!value.isObject()) return std::nullopt;
    QJsonObject o = value.toObject();
    if (!o.value("target").isString()) return std::nullopt;
    bool ok = true;
    std::optional<double> id = json::optionalNumber(o, "sourceID", ok);
    if (!ok) return std::nullopt;
    MIDIMapping m{o.value("target").toString(), std::nullopt};
    if (id) {
        if (std::trunc(*id) != *id || *id < std::numeric_limits<std::int32_t>::min() ||
            *id > std::numeric_limits<std::int32_t>::max())
            return std::nullopt;
        m.sourceID = std::int32_t(*id);
    }
    return m;
}

}  // namespace quellor
