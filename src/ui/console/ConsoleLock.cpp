#include "ui/console/ConsoleLock.h"

#include "base/UserDefaults.h"

namespace quellor {

bool ConsoleLock::isLocked(const UserDefaults& defaults) { return defaults.boolOr(kDefaultsKey, false); }

void ConsoleLock::toggle(UserDefaults& defaults) { defaults.setBool(kDefaultsKey, !isLocked(defaults)); }

}  // namespace quellor
