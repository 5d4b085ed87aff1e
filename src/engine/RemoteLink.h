#pragma once
// What the engine needs of the remote-control side: the stored pairing PIN and control password
// and the OSC listener that checks datagrams against them, the companion's feeds, and the OSC
// sender for the TotalMix routing writes. The remote layer sits above the engine, so the engine
// names what it needs here and the application hands it an implementation that wraps the real
// objects. What arrives from the remote side reaches the engine through the application's wiring
// (EngineRemoteControl), never through this link. Tests use a recording fake.
//
// Threads: every call from the main thread.

#include <QString>
#include <vector>

#include "platform/NetworkEndpoint.h"

namespace quellor {

class RemoteLink {
public:
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
};

}  // namespace quellor
