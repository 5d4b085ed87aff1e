#include "engine/SnapshotStore.h"

#include "base/JSONDefaults.h"

namespace quellor {

std::vector<MixSnapshot> SnapshotStore::loadSnapshots() const {
    return JSONDefaults::load<std::vector<MixSnapshot>>(key_, *defaults_).value_or(std::vector<MixSnapshot>{});
}

}  // namespace quellor
