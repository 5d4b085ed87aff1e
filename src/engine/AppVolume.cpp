#include "engine/AppVolume.h"

namespace quellor {

QJsonValue json::Coding<AppVolume>::encode(const AppVolume& v) {
    return json::ObjectWriter()
        .set("volume", v.volume)
        .set("isMuted", v.isMuted)
        .set("outputDeviceUIDs", v.outputDeviceUIDs)
        .set("isCued", v.isCued)
        .set("cueVolume", v.cueVolume)
        .object();
}

std::optional<AppVolume> json::Coding<AppVolume>::decode(const QJsonValue& value) {
    json::ObjectReader in(value);
    AppVolume v;
    v.volume = in.valueOr("volume", v.volume);
    v.isMuted = in.valueOr("isMuted", v.isMuted);
    v.isCued = in.valueOr("isCued", v.isCued);
    v.cueVolume = in.valueOr("cueVolume", v.cueVolume);
    if (in.has("outputDeviceUIDs"))
        v.outputDeviceUIDs = in.required<QStringList>("outputDeviceUIDs");
    else if (auto legacy = in.optional<QString>("outputDeviceUID"))
        v.outputDeviceUIDs = QStringList{*legacy};
    return in.result(std::move(v));
}

}  // namespace quellor
