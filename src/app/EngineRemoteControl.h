#pragma once
// Connects the remote-control side to the engine: turns the OSC value messages into the engine
// operations of the same meaning, runs the remote commands, moves what a MIDI control or a numbered
// OSC control is mapped to (learning a mapping while a target waits for one) and reports the
// companion's contact. The engine cannot see the remote types and the remote side needs no engine,
// so the application makes one once the engine has started, and messages before that go nowhere.
//
// Threads: main thread only; the installed callbacks are called there. They hold the engine
// weakly and do nothing once it is gone.

#include <QPointer>
#include <QString>
#include <optional>

#include "base/Scheduler.h"
#include "remote/MIDISource.h"
#include "remote/OSCCommand.h"

namespace quellor {

class MIDIManager;
class MIDIMappingManager;
class MixerEngine;
class OSCListener;

class EngineRemoteControl {
public:
    static constexpr float kVolumeStep = 0.05f;

    EngineRemoteControl(MixerEngine& engine, MIDIMappingManager& mappings);

    // Installs the listener's message callbacks (values, commands, numbered values, the companion's
    // contact) and the control-change callback on the MIDI input (when there is one).
    void install(OSCListener& listener, MIDIManager* midi);

    // One remote command with the message's value, if any. The strip fader takes every value as a
    // position; every other command is a button that acts without a value or at 0.5 and above.
    void execute(const OSCCommand& command, std::optional<float> value);
    void handleControlChange(int number, int value, MIDISource source);
    void handleNumberedValue(int number, float value);

private:
    std::optional<QString> stripRoute(int strip) const;

    QPointer<MixerEngine> engine_;
    MIDIMappingManager& mappings_;
    Liveness alive_;
};

}  // namespace quellor
