#pragma once
// MIDI learn as the panels show it, for a bus level or an application: the badge beside the name
// ("• Learn MIDI..." while learning, "CC 7" while controller 7 is mapped, otherwise nothing) and the
// learn entries of the context menu. Which state a target is in is the console's rule
// (MIDIStatusBadge): learning wins over an existing mapping.
//
// Threads: main thread only (it reads the mapping manager).

#include <QString>

#include "ui/console/MIDIStatusBadge.h"
#include "ui/panels/OutputBus.h"
#include "ui/style/MenuModel.h"

namespace quellor {

class MIDIMappingManager;

// "• Learn MIDI...", "CC 7", or empty when the badge shows nothing.
QString panelBadgeText(const MIDIStatusBadge& badge);

// "Learning MIDI... (Move fader now)" (stops learning) or "Learn MIDI fader" / "Re-learn MIDI fader";
// then "Clear MIDI Mapping" while a control is mapped to `target`, learning or not.
MenuModel panelLearnItems(const QString& target, MIDIMappingManager& mappings);

// The context menu of a card: learning a MIDI controller for the bus level.
MenuModel busCardMenu(OutputBus bus, MIDIMappingManager& mappings);

}  // namespace quellor
