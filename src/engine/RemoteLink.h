#pragma once
// What the engine needs of the remote-control side: the OSC listener (its pairing PIN, control
// password and callbacks), the MIDI input, the stored PIN and password, and the OSC sender for the
// TotalMix routing writes. The remote layer sits above the engine, so the engine names what it
// needs here and the application hands it an implementation that wraps the real objects. Tests use
// a recording fake.
//
// Threads: every call from the main thread; the callbacks are called on the main thread.

#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <vector>

#include "platform/NetworkEndpoint.h"

namespace quellor {

class MixerEngine;

class RemoteLink {
public:
    // The MIDI source a control change came from, passed through to the mapping manager unchanged.
    struct MIDISourceRef {
        std::int32_t id = 0;
        bool isHardware = false;
    };

    // The callbacks the engine installs on the OSC listener, each called after a datagram passed
    // the PIN or password check, with values already in 0...1. The command and phone-contact
    // callbacks carry remote types and are wired by the link itself.
    struct OSCHandlers {
        std::function<void(int number, float value)> quellorValue;
        std::function<void(const QString& routeID, float value)> appVolume;
        std::function<void(const QString& bundleID, bool on)> cue;
        std::function<void(const QString& bundleID, float value)> cueVolume;
        std::function<void(int index, const QString& routeID)> slot;
        std::function<void(bool on)> panic;
        std::function<void(bool on)> record;
        std::function<void(bool on)> autoRec;
        std::function<void(int index)> snapshot;
        std::function<void()> snapshotSave;
    };

    using ControlChangeHandler = std::function<void(int controller, int value, MIDISourceRef source)>;

    // One TotalMix message: an OSC address and its float value.
    struct TotalMixCommand {
        QString path;
        float value = 0;
    };

    virtual ~RemoteLink() = default;

    // The stored pairing PIN and control password (read at start).
    virtual QString pairingPIN() const = 0;
    virtual QString controlPassword() const = 0;
    // Hands them to the OSC listener, which compares later datagrams with them.
    virtual void setListenerPairingPIN(const QString& pin) = 0;
    virtual void setListenerControlPassword(const QString& password) = 0;

    // Replaces every OSC callback installed before.
    virtual void setOSCHandlers(OSCHandlers handlers) = 0;
    // Replaces the MIDI control-change callback; a link without MIDI input ignores it.
    virtual void setControlChangeHandler(ControlChangeHandler handler) = 0;

    // The eight messages that set TotalMix's default routing for a MAIN and a PHONES pair.
    virtual std::vector<TotalMixCommand> totalMixDefaultRouting(int mainOffset, int phonesOffset) const = 0;
    // One OSC message with one float argument to host:port over UDP.
    virtual void sendFloat(const QString& host, int port, const QString& address, float value) = 0;

    // The companion feeds: one OSC message with one string argument to the endpoint, over a
    // connection kept per endpoint; and dropping the connection kept for an endpoint.
    virtual void sendCompanionText(const QString& text, const NetworkEndpoint& to, const QString& address) = 0;
    virtual void cancelCompanionConnection(const NetworkEndpoint& to) = 0;
    // Stops the OSC listener when "oscEnabled" is off, otherwise (re)starts it on "oscPort": the
    // companion settings change either at run time.
    virtual void restartOSCListener() = 0;
    // Draws, stores and returns a new pairing PIN or control password.
    virtual QString regeneratePairingPIN() = 0;
    virtual QString regenerateControlPassword() = 0;
    // Called once by the engine's start after setOSCHandlers: the link connects to the engine what
    // carries remote types (commands, numbered controls, the companion's contact, MIDI control
    // changes). The link must not call the engine once it is gone.
    virtual void connectEngine(MixerEngine& engine) = 0;
};

}  // namespace quellor
