#pragma once
// The context menu of a filled console strip: "Clear Slot", the source menu of the slot (which
// puts another source there; built by the console and handed in), and MIDI learn for the strip's
// fader ("Fader") and, when the strip has a cue button, for its cue ("PFL"): learn, re-learn,
// stop a learning in progress, or clear the mapping. The CC number itself is the badge's to show.
//
// The entries are built from the mapping manager's state when the menu opens; their actions hold
// the engine and the manager weakly.
//
// Threads: main thread only.

#include <QString>
#include <functional>

#include "ui/style/MenuModel.h"

namespace quellor {

class MIDIMappingManager;
class MixerEngine;
struct StripModel;

// The source menu of a slot: the entries that write a source into slot `index`.
using SourceMenuBuilder = std::function<MenuModel(int index)>;

// The titles of the learn entries: while learning (the entry stops it), to learn, to learn again
// over a mapping, and to clear the mapping.
struct MIDILearnTitles {
    QString learning;
    QString learn;
    QString relearn;
    QString clear;
};

// The learn entries of one target: stop a learning in progress, or learn (again); then, while a
// control is mapped to it, clear.
MenuModel midiLearnItems(const MIDILearnTitles& titles, const QString& target, MIDIMappingManager& mappings);
// The same under the strip's label ("Fader", "PFL").
MenuModel midiLearnItems(const QString& label, const QString& target, MIDIMappingManager& mappings);

MenuModel stripContextMenu(int index, const StripModel& model, MixerEngine& engine, MIDIMappingManager& mappings,
                           const SourceMenuBuilder& sourceMenu);

}  // namespace quellor
