#include "engine/SnapshotStore.h"

#include "base/JsonDefaults.h"

namespace quellor {

std::vector<MixSnapshot> SnapshotStore::loadSnapshots() const {
    return JsonDefaults::load<std::vector<MixSnapshot>>(key_, *defaults_).value_or(std::vector<MixSnapshot>{});
}

}  // namespace quellor
