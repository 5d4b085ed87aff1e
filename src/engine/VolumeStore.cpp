#include "engine/VolumeStore.h"

#include "base/JSONDefaults.h"

namespace quellor {

AppVolumeMap VolumeStore::load() const {
    return JSONDefaults::load<AppVolumeMap>(key, *defaults_).value_or(AppVolumeMap{});
}

bool VolumeStore::save(const AppVolumeMap& volumes) const {
    AppVolumeMap stored;
    for (const auto& [bundleID, volume] : volumes)
        if (!volume.isDefault()) stored.emplace(bundleID, volume);
    return JSONDefaults::save(stored, key, *defaults_);
}

}  // namespace quellor
