#include "app/RemoteServices.h"

#include <algorithm>

#include "base/UserDefaults.h"
#include "remote/MIDIManager.h"
#include "remote/MIDIMappingManager.h"
#include "remote/OSCControlPassword.h"
#include "remote/OSCListener.h"
#include "remote/OSCSender.h"
#include "remote/PairingPIN.h"
#include "remote/TotalMixOSC.h"

namespace quellor {

RemoteServices::RemoteServices(const QHostAddress& oscBindAddress)
    : midiManager_(std::make_unique<MIDIManager>()),
      midiMapping_(std::make_unique<MIDIMappingManager>()),
      oscListener_(std::make_unique<OSCListener>(oscBindAddress)),
      pairingPIN_(std::make_unique<PairingPIN>(UserDefaults::standard())),
      controlPassword_(std::make_unique<OSCControlPassword>(UserDefaults::standard())) {
    oscListener_->onFailed = alive_.guard([this] { retryListener(kListenerRetryDelay); });
}

RemoteServices::~RemoteServices() = default;

QString RemoteServices::pairingPIN() const { return pairingPIN_->pin(); }

QString RemoteServices::controlPassword() const { return controlPassword_->password(); }

void RemoteServices::setListenerPairingPIN(const QString& pin) { oscListener_->setPairingPIN(pin); }

void RemoteServices::setListenerControlPassword(const QString& password) {
    oscListener_->setControlPassword(password);
}

std::vector<RemoteLink::TotalMixCommand> RemoteServices::totalMixDefaultRouting(int mainOffset,
                                                                                 int phonesOffset) const {
    std::vector<TotalMixCommand> commands;
    for (const TotalMixOSC::Command& c : TotalMixOSC::defaultRoutingCommands(mainOffset, phonesOffset))
        commands.push_back({c.path, c.value});
    return commands;
}

void RemoteServices::sendFloat(const QString& host, int port, const QString& address, float value) {
    OSCSender::shared().send(host, quint16(port), address, value);
}

void RemoteServices::sendCompanionText(const QString& text, const NetworkEndpoint& to, const QString& address) {
    OSCSender::shared().send(text, to, address);
}

void RemoteServices::cancelCompanionConnection(const NetworkEndpoint& to) { OSCSender::shared().cancel(to); }

void RemoteServices::restartOSCListener() {
    listenerRetry_.cancel();
    if (OSCListener::configuredEnabled()) oscListener_->start(OSCListener::configuredPort());
    else oscListener_->stop();
}

void RemoteServices::retryListener(double delay) {
    listenerRetry_.set(Scheduler::current().after(delay, alive_.guard([this, delay] {
        listenerRetry_.clear();
        restartOSCListener();
        if (OSCListener::configuredEnabled() && !oscListener_->isListening())
            retryListener(std::min(delay * 2, kListenerRetryMaxDelay));
    })));
}

QString RemoteServices::regeneratePairingPIN() {
    pairingPIN_->regenerate();
    return pairingPIN_->pin();
}

QString RemoteServices::regenerateControlPassword() {
    controlPassword_->regenerate();
    return controlPassword_->password();
}

}  // namespace quellor
