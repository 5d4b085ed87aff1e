#include "ui/console/StoredStripCount.h"

#include "base/UserDefaults.h"

namespace quellor {

int storedStripCount(const UserDefaults& defaults) {
    return stripCountOf(defaults.integerValue(QString::fromLatin1(kConsoleStripsKey)).value_or(8));
}

int stripCountOf(qint64 requested) { return requested == 8 || requested == 16 ? int(requested) : 8; }

}  // namespace quellor
