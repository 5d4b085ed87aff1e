#include "audio/DevicePriorityStore.h"

#include <algorithm>

#include "base/JSONDefaults.h"

namespace quellor {

UserDefaults& DevicePriorityStore::store() const { return defaults ? *defaults : UserDefaults::standard(); }

QStringList DevicePriorityStore::loadOrder() const { return JSONDefaults::load<QStringList>(key, store()).value_or(QStringList{}); }

QSet<QString> DevicePriorityStore::loadArmed() const {
    QStringList armed = JSONDefaults::load<QStringList>(key + QLatin1String("Armed"), store()).value_or(QStringList{});
    return QSet<QString>(armed.begin(), armed.end());
}

void DevicePriorityStore::saveOrder(const QStringList& order) const { JSONDefaults::save(order, key, store()); }

void DevicePriorityStore::saveArmed(const QSet<QString>& armed) const {
    QStringList sorted(armed.begin(), armed.end());
    std::sort(sorted.begin(), sorted.end());
    JSONDefaults::save(sorted, key + QLatin1String("Armed"), store());
}

}  // namespace quellor
