#pragma once
// What a drag onto a console strip carries, as plain text: "vesk-slot:" and a slot index (a strip
// of the console being moved) or "vesk-app:" and a bundle identifier (an application row or source
// tile of the panels). Anything else is no payload of ours: plain text dragged in from another
// program must not move or empty a strip.
//
// The index is a decimal integer with an optional sign and nothing else (no spaces, no other digits);
// an application payload needs an identifier.
//
// Threads: values only.

#include <QString>
#include <QtGlobal>
#include <optional>

class QMimeData;

namespace quellor {

struct StripDragPayload {
    static inline const QString kSlotPrefix = QStringLiteral("vesk-slot:");
    static inline const QString kAppPrefix = QStringLiteral("vesk-app:");

    enum class Kind { Slot, App };
    Kind kind = Kind::Slot;
    qint64 slotIndex = 0;  // Slot: as written, possibly outside the slot list
    QString bundleID;      // App: never empty

    static std::optional<StripDragPayload> parse(const QString& text);
    static QString forSlot(int index) { return kSlotPrefix + QString::number(index); }
    static QString forApp(const QString& bundleID) { return kAppPrefix + bundleID; }

    // The text of a drop: only plain text counts; nothing when the drag carries none.
    static std::optional<QString> textOf(const QMimeData& mime);

    bool operator==(const StripDragPayload&) const = default;
};

}  // namespace quellor
