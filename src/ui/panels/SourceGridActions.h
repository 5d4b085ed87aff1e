#pragma once
// What the source grid reads of the slot list and writes into it. Everything is worked out from the
// engine's slots at the moment it is asked: a click or a menu acts on the slots as they are then,
// not as the grid last drew them.
//
// A tile's fader number is 1 + the first position of its id anywhere in the slot list, also past the
// strips shown. A free strip is an empty entry among the first (strip count) positions; the search
// never reads past the end of the list, however short a stored list is.
//
// Threads: main thread only (the engine and the user defaults).

#include <QString>
#include <QStringList>
#include <optional>

#include "ui/style/MenuModel.h"

namespace quellor {

class MixerEngine;
class UserDefaults;

// 1-based; nothing when `id` is on no strip.
std::optional<int> faderNumberOf(const QStringList& slotIDs, const QString& id);
// 0-based; nothing when the first `stripCount` entries are all taken.
std::optional<int> firstFreeStrip(const QStringList& slotIDs, int stripCount);

class SourceGridActions {
public:
    SourceGridActions(MixerEngine& engine, const UserDefaults& defaults) : engine_(engine), defaults_(defaults) {}

    std::optional<int> faderNumber(const QString& id) const;
    // A click on a tile, or its default accessibility action: a source already on a strip stays
    // where it is; any other goes to the first free strip, when there is one.
    void putOnFirstFreeFader(const QString& id);
    // The context menu of a tile: "Remove from fader N" while it is on a strip, else "Put on fader N"
    // for the first free strip, else nothing. Each item writes the position worked out here.
    MenuModel tileMenu(const QString& id) const;

private:
    int stripCount() const;

    MixerEngine& engine_;
    const UserDefaults& defaults_;
};

}  // namespace quellor
