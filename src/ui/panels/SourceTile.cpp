#include "ui/panels/SourceTile.h"

#include "audio/AudioProcessMonitor.h"
#include "engine/RouteID.h"

namespace quellor {

std::vector<SourceTile> appSourceTiles(const AudioProcessMonitor& monitor) {
    return appSourceTiles(monitor.apps(), [&](const AudioApp& app) { return monitor.icon(app); });
}

const std::vector<SourceTile>& ioSourceTiles() {
    static const std::vector<SourceTile> tiles{
        {RouteID::kMainBus, QStringLiteral("MAIN"), {}, QStringLiteral("hifispeaker.fill"), false},
        {RouteID::kPhonesBus, QStringLiteral("PHONES"), {}, QStringLiteral("headphones"), false},
        {RouteID::kSystemInput, QStringLiteral("INPUT"), {}, QStringLiteral("mic.fill"), false},
    };
    return tiles;
}

QString sourceTileHelp(std::optional<int> faderNumber) {
    if (!faderNumber) return QStringLiteral("Drag onto a fader, or click to use the first free one.");
    return QStringLiteral("On fader %1. Drag onto another fader to move it there.").arg(*faderNumber);
}

QString sourceTileAccessibleName(const QString& name, std::optional<int> faderNumber) {
    if (!faderNumber) return QStringLiteral("Source %1, not on a strip").arg(name);
    // One pass over the pattern: a name holding "%2" stays as it is.
    return QStringLiteral("Source %1, strip %2").arg(name, QString::number(*faderNumber));
}

}  // namespace quellor
