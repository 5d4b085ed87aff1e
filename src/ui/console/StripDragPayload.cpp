#include "ui/console/StripDragPayload.h"

#include <QMimeData>
#include <QRegularExpression>

namespace quellor {

namespace {

// A decimal integer: an optional sign, then one or more ASCII digits, within 64 bits.
std::optional<qint64> strictInteger(const QString& text) {
    static const QRegularExpression pattern(QRegularExpression::anchoredPattern(QStringLiteral("[+-]?[0-9]+")));
    if (!pattern.match(text).hasMatch()) return std::nullopt;
    bool ok = false;
    const qint64 value = text.toLongLong(&ok, 10);
    return ok ? std::optional(value) : std::nullopt;
}

}  // namespace

std::optional<StripDragPayload> StripDragPayload::parse(const QString& text) {
    if (text.startsWith(kAppPrefix)) {
        const QString id = text.mid(kAppPrefix.size());
        if (id.isEmpty()) return std::nullopt;
        return StripDragPayload{Kind::App, 0, id};
    }
    if (text.startsWith(kSlotPrefix)) {
        const auto index = strictInteger(text.mid(kSlotPrefix.size()));
        if (!index) return std::nullopt;
        return StripDragPayload{Kind::Slot, *index, {}};
    }
    return std::nullopt;
}

std::optional<QString> StripDragPayload::textOf(const QMimeData& mime) {
    if (!mime.hasText()) return std::nullopt;
    return mime.text();
}

}  // namespace quellor
