#pragma once
// Everything a strip model, its MIDI badges and its menus read, as change signals for a view's
// ViewRefresh: the console rebuilds its strips once, posted, per burst of changes (opening a setup
// changes dozens of values in one turn). Meter levels are not among them: a level change never
// rebuilds a strip; meters poll their model's meter closure on their own clock.
//
// Threads: main thread only.

namespace quellor {

class MIDIMappingManager;
class MixerEngine;
class ViewRefresh;

// `mappings` may be null (no MIDI badges or learn entries to follow).
void watchStripModelSources(ViewRefresh& refresh, MixerEngine& engine, MIDIMappingManager* mappings);

}  // namespace quellor
