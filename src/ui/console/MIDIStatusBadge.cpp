#include "ui/console/MIDIStatusBadge.h"

#include "remote/MIDIMappingManager.h"
#include "ui/console/ConsoleColors.h"

namespace quellor {

MIDIStatusBadge MIDIStatusBadge::of(const MIDIMappingManager& mappings, const QString& target) {
    if (mappings.learningTarget() == target) return {State::Learn, 0};
    if (auto cc = mappings.ccNumber(target)) return {State::Mapped, *cc};
    return {};
}

QString MIDIStatusBadge::text() const {
    switch (state) {
    case State::None: return QString();
    case State::Learn: return QStringLiteral("LEARN");
    case State::Mapped: return QStringLiteral("CC") + QString::number(ccNumber);
    }
    return QString();
}

QColor MIDIStatusBadge::color(ThemeMode theme, bool onDark) const {
    if (state == State::Learn) return standardOrange(theme);
    return onDark ? brandOnDark() : palette(theme).brand;
}

}  // namespace quellor
