#include "ui/console/StripDrop.h"

#include <algorithm>

#include "engine/MixerEngine.h"
#include "ui/console/StoredStripCount.h"
#include "ui/console/StripDragPayload.h"

namespace quellor {

std::vector<SlotWrite> stripDropWrites(const QStringList& slotIDs, int shownCount, const QString& payload, int target) {
    const int shown = std::min<qsizetype>(shownCount, slotIDs.size());
    const auto isShown = [shown](qint64 index) { return index >= 0 && index < shown; };
    const auto parsed = StripDragPayload::parse(payload);
    if (!parsed || !isShown(target)) return {};

    if (parsed->kind == StripDragPayload::Kind::Slot) {
        const qint64 source = parsed->slotIndex;
        if (!isShown(source) || source == target) return {};
        return {{int(source), slotIDs[target]}, {target, slotIDs[int(source)]}};
    }
    std::vector<SlotWrite> writes;
    // The application is looked for on every slot, hidden ones too: otherwise an application on a
    // slot beyond the strips shown would stand on two strips once the console shows them all.
    const int standsOn = int(slotIDs.indexOf(parsed->bundleID));
    if (standsOn >= 0 && standsOn != target) writes.push_back({standsOn, slotIDs[target]});
    writes.push_back({target, parsed->bundleID});
    return writes;
}

void handleStripDrop(MixerEngine& engine, const UserDefaults& defaults, const QString& payload, int target) {
    for (const SlotWrite& write :
         stripDropWrites(engine.consoleSlots(), storedStripCount(defaults), payload, target))
        engine.setSlot(write.identifier, write.index);
}

}  // namespace quellor
