#pragma once
// The console's slot list: kConsoleSlotCount source ids, the empty text for an empty slot. A new
// console, and a new setup, starts with MAIN and PHONES in the first two slots.
//
// Threads: any (plain values).

#include <QStringList>

#include "engine/RouteID.h"

namespace quellor {

inline constexpr int kConsoleSlotCount = 16;

inline QStringList defaultConsoleSlots() {
    QStringList ids{RouteID::kMainBus, RouteID::kPhonesBus};
    while (ids.size() < kConsoleSlotCount) ids.append(QString());
    return ids;
}

}  // namespace quellor
