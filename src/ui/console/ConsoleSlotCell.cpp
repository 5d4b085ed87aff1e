#include "ui/console/ConsoleSlotCell.h"

#include "ui/console/ConsoleColors.h"
#include "ui/console/StripDragPayload.h"

namespace quellor {

std::optional<QString> ConsoleSlotCell::dragPayload() const {
    if (isEmpty()) return std::nullopt;
    return StripDragPayload::forSlot(index);
}

QString ConsoleSlotCell::emptyAccessibilityLabel() const {
    return QStringLiteral("Empty strip %1: choose a source").arg(index + 1);
}

QString ConsoleSlotCell::emptyObjectName() const { return QStringLiteral("empty-strip-%1").arg(index + 1); }

std::vector<ConsoleSlotCell> consoleSlotCells(const QStringList& slotIDs, int stripCount) {
    std::vector<ConsoleSlotCell> cells;
    for (int i = 0; i < stripCount; ++i) cells.push_back({i, slotIDs.value(i)});
    return cells;
}

EmptySlotLook EmptySlotLook::of(ThemeMode theme) {
    const Palette p = palette(theme);
    const bool light = colorScheme(theme) == ColorScheme::Light;
    return {light ? QFont::Thin : QFont::Black, light ? p.textMuted : p.textSecondary, withOpacity(p.void_, 0.6)};
}

}  // namespace quellor
