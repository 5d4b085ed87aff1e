#include "engine/VolumeStore.h"

#include "base/JsonDefaults.h"

namespace quellor {

AppVolumeMap VolumeStore::load() const {
    return JsonDefaults::load<AppVolumeMap>(key, *defaults_).value_or(AppVolumeMap{});
}

bool VolumeStore::save(const AppVolumeMap& volumes) const {
    AppVolumeMap stored;
    for (const auto& [bundleID, volume] : volumes)
        if (!volume.isDefault()) stored.emplace(bundleID, volume);
    return JsonDefaults::save(stored, key, *defaults_);
}

}  // namespace quellor
