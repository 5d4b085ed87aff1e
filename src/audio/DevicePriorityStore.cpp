#include "audio/DevicePriorityStore.h"

#include <algorithm>

#include "base/JsonDefaults.h"

namespace quellor {

UserDefaults& DevicePriorityStore::store() const { return defaults ? *defaults : UserDefaults::standard(); }

QStringList DevicePriorityStore::loadOrder() const { return JsonDefaults::load<QStringList>(key, store()).value_or(QStringList{}); }

QSet<QString> DevicePriorityStore::loadArmed() const {
    QStringList armed = JsonDefaults::load<QStringList>(key + QLatin1String("Armed"), store()).value_or(QStringList{});
    return QSet<QString>(armed.begin(), armed.end());
}

void DevicePriorityStore::saveOrder(const QStringList& order) const { JsonDefaults::save(order, key, store()); }

void DevicePriorityStore::saveArmed(const QSet<QString>& armed) const {
    QStringList sorted(armed.begin(), armed.end());
    std::sort(sorted.begin(), sorted.end());
    JsonDefaults::save(sorted, key + QLatin1String("Armed"), store());
}

}  // namespace quellor
