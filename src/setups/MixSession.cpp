#include "setups/MixSession.h"

namespace quellor {

QJsonValue json::Coding<MixSession>::encode(const MixSession& v) {
    return json::ObjectWriter()
        .set("id", v.id)
        .set("name", v.name)
        .set("createdAt", v.createdAt)
        .set("modifiedAt", v.modifiedAt)
        .set("volumes", v.volumes)
        .setIfPresent("mainDeviceUID", v.mainDeviceUID)
        .setIfPresent("mainLevel", v.mainLevel)
        .setIfPresent("phonesLevel", v.phonesLevel)
        .set("slots", v.stripSlots)
        .setIfPresent("styles", v.styles)
        .object();
}

std::optional<MixSession> json::Coding<MixSession>::decode(const QJsonValue& value) {
    json::ObjectReader in(value);
    MixSession v;
    v.id = in.required<QUuid>("id");
    v.name = in.required<QString>("name");
    v.createdAt = in.required<QDateTime>("createdAt");
    v.modifiedAt = in.required<QDateTime>("modifiedAt");
    v.volumes = in.required<AppVolumeMap>("volumes");
    v.mainDeviceUID = in.optional<QString>("mainDeviceUID");
    v.mainLevel = in.optional<float>("mainLevel");
    v.phonesLevel = in.optional<float>("phonesLevel");
    v.stripSlots = in.required<QStringList>("slots");
    v.styles = in.optional<StripStyleMap>("styles");
    return in.result(std::move(v));
}

}  // namespace quellor
