#pragma once
// The value one console strip is drawn from: what it shows (name, symbol, level, flags, route line
// and route menu) and a closure for everything it can do. Models are built afresh from the engine
// on every rebuild of the console (StripModelBuilder) and never stored; a strip widget only paints
// a model and calls its closures.
//
// An optional action that is empty means the strip offers no such control: the control is absent,
// not disabled. Closures hold the engine weakly and do nothing once it is gone, so a model (or a
// fade that carries its setter) may outlive the engine safely.
//
// Threads: main thread only.

#include <QString>
#include <functional>
#include <optional>
#include <vector>

namespace quellor {

// One entry of a strip's route menu.
struct RouteItem {
    // Stable across rebuilds: the device UID, or empty for the default-output entry of an
    // application, so a menu that stays open keeps its entries.
    QString id;
    QString title;
    bool checked = false;
    std::function<void()> action;
};

struct StripModel {
    // What sort of source the strip stands for.
    enum class Kind { Source, Input, Output };

    QString name;
    QString icon;  // symbol name
    Kind kind = Kind::Source;
    float volume = 0;  // fader position 0...1
    // The current meter level 0...1; read whenever the meter is redrawn.
    std::function<float()> meter;
    bool isActive = false;  // the source can be driven now
    bool isCued = false;
    std::function<void(float)> setVolume;
    std::function<void()> toggleCue;  // empty: no CUE button
    bool isMuted = false;
    std::function<void()> toggleMute;  // empty: no MUTE button
    bool isSoloed = false;
    std::optional<QString> routeText;  // absent: no route line
    std::vector<RouteItem> routeItems;
    QString targetID;  // the slot's source id; set by the style step, empty from the builders
    std::function<void()> toggleSolo;  // empty: no SOLO button
    std::optional<int> colorIndex;     // index into the strip palette, any integer
    std::optional<QString> group;      // strips with equal tags move together
    std::optional<float> resetValue;   // restored by a double click on the fader
    std::optional<QString> midiTarget;     // route id the fader is learnt under
    std::optional<QString> cueMIDITarget;  // route id the cue button is learnt under
};

}  // namespace quellor
