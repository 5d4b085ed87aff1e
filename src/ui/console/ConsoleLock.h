#pragma once
// The console lock: the Boolean user default "consoleLocked" (false when absent). The top bar's
// lock button and the remote lock command switch it by writing its negation; the console follows
// the default, whoever writes it, and the lock survives a restart with the defaults.
//
// Threads: main thread only (the user defaults store).

#include <QString>

namespace quellor {

class UserDefaults;

struct ConsoleLock {
    static inline const QString kDefaultsKey = QStringLiteral("consoleLocked");

    static bool isLocked(const UserDefaults& defaults);
    static void toggle(UserDefaults& defaults);
};

}  // namespace quellor
