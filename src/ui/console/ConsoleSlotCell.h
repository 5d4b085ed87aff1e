#pragma once
// The cells of the console's grid: one per slot the console shows, each standing for the slot's
// index and the source it holds. A cell is identified by both, so two empty cells, or one source
// placed in two slots, stay apart, and a change of source in a slot makes a new cell.
//
// A filled cell shows the source's strip and can be dragged (its payload names the slot); an empty
// cell shows the placeholder strip with a "plus" over it, opens the slot's source menu, and offers
// nothing to drag. Every cell takes drops (StripDrop).
//
// Threads: values only.

#include <QColor>
#include <QFont>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

#include "ui/style/ThemeMode.h"

namespace quellor {

struct ConsoleSlotCell {
    int index = 0;
    QString identifier;  // the slot's source id; empty for an empty slot (or one beyond the list)

    bool isEmpty() const { return identifier.isEmpty(); }
    // "vesk-slot:<index>" for a filled cell; nothing for an empty one, so no drag starts there.
    std::optional<QString> dragPayload() const;
    // Of an empty cell: "Empty strip <n>: choose a source" and "empty-strip-<n>", n counted from 1.
    QString emptyAccessibilityLabel() const;
    QString emptyObjectName() const;

    bool operator==(const ConsoleSlotCell&) const = default;
};

// The cells of slots 0 … stripCount − 1 of `slotIDs`.
std::vector<ConsoleSlotCell> consoleSlotCells(const QStringList& slotIDs, int stripCount);

// The "plus" over an empty slot's placeholder strip.
struct EmptySlotLook {
    static inline const QString kSymbol = QStringLiteral("plus");

    QFont::Weight weight;  // ultra-light on the light theme, black on the dark ones
    QColor color;
    QColor shadow;

    static EmptySlotLook of(ThemeMode theme);
};

}  // namespace quellor
