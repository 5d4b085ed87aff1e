#pragma once
// What a drop onto the strip of slot `target` does to the console's slots.
//
//   "vesk-slot:<n>"  the strips of slots n and target exchange places; a strip dropped on an empty
//                    slot moves there and leaves its old slot empty. Dropped on itself: nothing.
//   "vesk-app:<id>"  the application lands on the target. When it already stands on another slot,
//                    shown or hidden, the first such slot takes over what the target held (an
//                    exchange, or an empty slot); when it stands nowhere it simply replaces the
//                    target's source.
//   anything else    nothing.
//
// Only the slots the console shows (the first "consoleStrips") can be dropped on or dragged: a
// payload naming a slot outside them, or a target outside them, does nothing. The one hidden slot a
// drop changes is the one that held the dropped application, so it never stands on two strips. Every write goes through the engine's slot setter, which
// stores "consoleSlots" only when a slot really changes.
//
// Threads: main thread only (the engine).

#include <QString>
#include <QStringList>
#include <vector>

namespace quellor {

class MixerEngine;
class UserDefaults;

struct SlotWrite {
    int index = 0;
    QString identifier;
    bool operator==(const SlotWrite&) const = default;
};

// The slot writes of a drop, in order, on `slotIDs` of which the first `shownCount` are shown.
std::vector<SlotWrite> stripDropWrites(const QStringList& slotIDs, int shownCount, const QString& payload, int target);

// Carries out a drop on the engine's slots, the shown ones counted by the stored strip count.
void handleStripDrop(MixerEngine& engine, const UserDefaults& defaults, const QString& payload, int target);

}  // namespace quellor
