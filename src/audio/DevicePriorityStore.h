#pragma once
// Where a device ranking is kept (through JsonDefaults): the order as a JSON string array under `key`
// ("devicePriority", "devicePriorityInput") and the armed set, sorted, under `key` + "Armed".
//
// Threads: main thread (user defaults).

#include <QSet>
#include <QStringList>

namespace quellor {

class UserDefaults;

struct DevicePriorityStore {
    QString key;
    UserDefaults* defaults = nullptr;  // the standard defaults when null

    // Empty when absent or unreadable.
    QStringList loadOrder() const;
    QSet<QString> loadArmed() const;
    void saveOrder(const QStringList& order) const;
    void saveArmed(const QSet<QString>& armed) const;

private:
    UserDefaults& store() const;
};

}  // namespace quellor
