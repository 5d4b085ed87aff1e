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

// The learn entries of one target under its label ("Fader", "PFL").
MenuModel midiLearnItems(const QString& label, const QString& target, MIDIMappingManager& mappings);
// The same with texts of the caller's own: while `target` is learnt, `learning` (choosing it stops);
// otherwise `learn`, or `relearn` once mapped; then `clear` while mapped.
struct MIDILearnTexts {
    QString learning, learn, relearn, clear;
};
MenuModel midiLearnItems(const MIDILearnTexts& texts, const QString& target, MIDIMappingManager& mappings);

MenuModel stripContextMenu(int index, const StripModel& model, MixerEngine& engine, MIDIMappingManager& mappings,
                           const SourceMenuBuilder& sourceMenu);

}  // namespace quellor
