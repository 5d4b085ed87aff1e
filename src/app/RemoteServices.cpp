#include "app/RemoteServices.h"

#include "base/UserDefaults.h"
#include "remote/MIDIManager.h"
#include "remote/MIDIMappingManager.h"
#include "remote/OSCControlPassword.h"
#include "remote/OSCListener.h"
#include "remote/OSCSender.h"
#include "remote/PairingPIN.h"

namespace quellor {

RemoteServices::RemoteServices()
    : midiManager_(std::make_unique<MIDIManager>()),
      midiMapping_(std::make_unique<MIDIMappingManager>()),
      oscListener_(std::make_unique<OSCListener>()),
      pairingPIN_(std::make_unique<PairingPIN>(UserDefaults::standard())),
      controlPassword_(std::make_unique<OSCControlPassword>(UserDefaults::standard())) {}

RemoteServices::~RemoteServices() = default;

QString RemoteServices::pairingPIN() const { return pairingPIN_->pin(); }

QString RemoteServices::controlPassword() const { return controlPassword_->password(); }

void RemoteServices::setListenerPairingPIN(const QString& pin) { oscListener_->setPairingPIN(pin); }

void RemoteServices::setListenerControlPassword(const QString& password) {
    oscListener_->setControlPassword(password);
}

void RemoteServices::setOSCHandlers(OSCHandlers h) {
    OSCListener& l = *oscListener_;
    l.onQuellorValueReceived = std::move(h.quellorValue);
    l.onAppVolumeReceived = std::move(h.appVolume);
    l.onCueReceived = std::move(h.cue);
    l.onCueVolumeReceived = std::move(h.cueVolume);
    l.onSlotReceived = std::move(h.slot);
    l.onPanicReceived = std::move(h.panic);
    l.onRecordReceived = std::move(h.record);
    l.onAutoRecReceived = std::move(h.autoRec);
    l.onSnapshotReceived = std::move(h.snapshot);
    l.onSnapshotSaveReceived = std::move(h.snapshotSave);
}

void RemoteServices::setControlChangeHandler(ControlChangeHandler handler) {
    if (!handler) {
        midiManager_->onControlChangeReceived = nullptr;
        return;
    }
    midiManager_->onControlChangeReceived = [handler = std::move(handler)](int number, int value, MIDISource source) {
        handler(number, value, MIDISourceRef{source.id, source.isHardware});
    };
}

std::vector<RemoteLink::TotalMixCommand> RemoteServices::totalMixDefaultRouting(int, int) const {
    // No TotalMix routing table is known yet: nothing to write.
    return {};
}

void RemoteServices::sendFloat(const QString& host, int port, const QString& address, float value) {
    OSCSender::shared().send(host, quint16(port), address, value);
}

}  // namespace quellor
