#include "audio/DevicePriorityStore.h"

#include <algorithm>

#include "base/JsonDefaults.h"

namespace quellor {

QStringList DevicePriorityStore::loadOrder() const { return JsonDefaults::load<QStringList>(key, defaults).value_or(QStringList{}); }

QSet<QString> DevicePriorityStore::loadArmed() const {
    QStringList armed = JsonDefaults::load<QStringList>(key + QLatin1String("Armed"), defaults).value_or(QStringList{});
    return QSet<QString>(armed.begin(), armed.end());
}

void DevicePriorityStore::saveOrder(const QStringList& order) const { JsonDefaults::save(order, key, defaults); }

void DevicePriorityStore::saveArmed(const QSet<QString>& armed) const {
    QStringList sorted(armed.begin(), armed.end());
    std::sort(sorted.begin(), sorted.end());
    JsonDefaults::save(sorted, key + QLatin1String("Armed"), defaults);
}

}  // namespace quellor
