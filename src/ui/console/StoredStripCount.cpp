#include "ui/console/StoredStripCount.h"

#include "base/UserDefaults.h"

namespace quellor {

int storedStripCount(const UserDefaults& defaults) {
    const auto stored = defaults.integerValue(QString::fromLatin1(kConsoleStripsKey));
    return stored && (*stored == 8 || *stored == 16) ? int(*stored) : 8;
}

}  // namespace quellor
