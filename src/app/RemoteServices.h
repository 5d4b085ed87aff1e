#pragma once
// The remote-control side: owns the OSC listener, the MIDI input and its mappings, the pairing PIN
// and the control password, and sends through the shared OSC sender. The engine sees it as its
// RemoteLink; the application wires the listener and the MIDI input to the engine
// (EngineRemoteControl).
// A listener that stops on a receive error is started again after 5 s, and while that fails after
// twice the wait each time, up to 5 min.
//
// Threads: main thread only.

#include <QHostAddress>
#include <memory>

#include "base/Scheduler.h"
#include "engine/RemoteLink.h"

namespace quellor {

class MIDIManager;
class MIDIMappingManager;
class OSCControlPassword;
class OSCListener;
class PairingPIN;

class RemoteServices : public RemoteLink {
public:
    // Creates the MIDI client, the mapping manager, the OSC listener (listening at once when OSC is
    // enabled) and loads the PIN and password from the standard user defaults. The listener takes
    // datagrams on every interface; tests pass a loopback address.
    static constexpr double kListenerRetryDelay = 5;
    static constexpr double kListenerRetryMaxDelay = 300;

    explicit RemoteServices(const QHostAddress& oscBindAddress = QHostAddress::Any);
    ~RemoteServices() override;

    OSCListener& oscListener() { return *oscListener_; }
    MIDIManager& midiManager() { return *midiManager_; }
    MIDIMappingManager& midiMapping() { return *midiMapping_; }

    QString pairingPIN() const override;
    QString controlPassword() const override;
    void setListenerPairingPIN(const QString& pin) override;
    void setListenerControlPassword(const QString& password) override;
    std::vector<TotalMixCommand> totalMixDefaultRouting(int mainOffset, int phonesOffset) const override;
    void sendFloat(const QString& host, int port, const QString& address, float value) override;
    void sendCompanionText(const QString& text, const NetworkEndpoint& to, const QString& address) override;
    void cancelCompanionConnection(const NetworkEndpoint& to) override;
    void restartOSCListener() override;
    QString regeneratePairingPIN() override;
    QString regenerateControlPassword() override;

private:
    void retryListener(double delay);

    std::unique_ptr<MIDIManager> midiManager_;
    std::unique_ptr<MIDIMappingManager> midiMapping_;
    std::unique_ptr<OSCListener> oscListener_;
    std::unique_ptr<PairingPIN> pairingPIN_;
    std::unique_ptr<OSCControlPassword> controlPassword_;
    TaskSlot listenerRetry_;
    Liveness alive_;
};

}  // namespace quellor
