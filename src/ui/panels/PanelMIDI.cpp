#include "ui/panels/PanelMIDI.h"

#include "ui/console/StripContextMenu.h"

namespace quellor {

QString panelBadgeText(const MIDIStatusBadge& badge) {
    switch (badge.state) {
    case MIDIStatusBadge::State::None: return QString();
    case MIDIStatusBadge::State::Learn: return QStringLiteral("• Learn MIDI...");
    case MIDIStatusBadge::State::Mapped: return QStringLiteral("CC ") + QString::number(badge.ccNumber);
    }
    return QString();
}

MenuModel panelLearnItems(const QString& target, MIDIMappingManager& mappings) {
    static const MIDILearnTitles titles{QStringLiteral("Learning MIDI... (Move fader now)"),
                                        QStringLiteral("Learn MIDI fader"), QStringLiteral("Re-learn MIDI fader"),
                                        QStringLiteral("Clear MIDI Mapping")};
    return midiLearnItems(titles, target, mappings);
}

MenuModel busCardMenu(OutputBus bus, MIDIMappingManager& mappings) {
    return panelLearnItems(routeID(bus), mappings);
}

}  // namespace quellor
