#include "engine/MixSnapshot.h"

namespace quellor {

QJsonValue json::Coding<MixSnapshot>::encode(const MixSnapshot& v) {
    return json::ObjectWriter()
        .set("id", v.id)
        .set("name", v.name)
        .set("volumes", v.volumes)
        .setIfPresent("mainLevel", v.mainLevel)
        .setIfPresent("phonesLevel", v.phonesLevel)
        .set("savedAt", v.savedAt)
        .object();
}

std::optional<MixSnapshot> json::Coding<MixSnapshot>::decode(const QJsonValue& value) {
    json::ObjectReader in(value);
    MixSnapshot v;
    v.id = in.required<QUuid>("id");
    v.name = in.required<QString>("name");
    v.volumes = in.required<AppVolumeMap>("volumes");
    v.mainLevel = in.optional<float>("mainLevel");
    v.phonesLevel = in.optional<float>("phonesLevel");
    v.savedAt = in.required<QDateTime>("savedAt");
    return in.result(std::move(v));
}

}  // namespace quellor
