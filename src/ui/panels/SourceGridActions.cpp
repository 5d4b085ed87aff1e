#include "ui/panels/SourceGridActions.h"

#include <QPointer>
#include <algorithm>

#include "engine/MixerEngine.h"
#include "ui/console/StoredStripCount.h"

namespace quellor {

std::optional<int> faderNumberOf(const QStringList& slotIDs, const QString& id) {
    const qsizetype at = slotIDs.indexOf(id);
    if (at < 0) return std::nullopt;
    return int(at) + 1;
}

std::optional<int> firstFreeStrip(const QStringList& slotIDs, int stripCount) {
    const int end = std::min(stripCount, int(slotIDs.size()));
    for (int i = 0; i < end; ++i)
        if (slotIDs[i].isEmpty()) return i;
    return std::nullopt;
}

int SourceGridActions::stripCount() const { return storedStripCount(defaults_); }

std::optional<int> SourceGridActions::faderNumber(const QString& id) const {
    return faderNumberOf(engine_.consoleSlots(), id);
}

void SourceGridActions::putOnFirstFreeFader(const QString& id) {
    if (faderNumber(id)) return;
    if (auto free = firstFreeStrip(engine_.consoleSlots(), stripCount())) engine_.setSlot(id, *free);
}

MenuModel SourceGridActions::tileMenu(const QString& id) const {
    const QPointer<MixerEngine> weak = &engine_;
    auto write = [weak](QString value, int index) {
        return [weak, value = std::move(value), index] {
            if (weak) weak->setSlot(value, index);
        };
    };
    if (auto number = faderNumber(id))
        return {MenuItem::command(QStringLiteral("Remove from fader %1").arg(*number), write(QString(), *number - 1))};
    if (auto free = firstFreeStrip(engine_.consoleSlots(), stripCount()))
        return {MenuItem::command(QStringLiteral("Put on fader %1").arg(*free + 1), write(id, *free))};
    return {};
}

}  // namespace quellor
