#include "app/EngineRemoteControl.h"

#include <algorithm>

#include "audio/SystemVolumeController.h"
#include "audio/VolumeControlling.h"
#include "base/UserDefaults.h"
#include "engine/MixerEngine.h"
#include "remote/MIDIManager.h"
#include "remote/MIDIMappingManager.h"
#include "remote/OSCListener.h"
#include "ui/console/ConsoleLock.h"
#include "ui/console/StoredStripCount.h"

namespace quellor {

namespace {

void step(VolumeControlling& control, float delta) {
    float v = std::min(control.volume() + delta, 1.0f);
    control.setVolume(v >= 0 ? v : 0.0f);
}

}  // namespace

EngineRemoteControl::EngineRemoteControl(MixerEngine& engine, MIDIMappingManager& mappings)
    : engine_(&engine), mappings_(mappings) {}

void EngineRemoteControl::install(OSCListener& listener, MIDIManager* midi) {
    // Each value message is the engine operation of the same meaning.
    listener.onAppVolumeReceived = alive_.guard([this](const QString& id, float value) {
        if (engine_) engine_->setRouteVolume(id, value);
    });
    listener.onCueReceived = alive_.guard([this](const QString& bundleID, bool on) {
        if (engine_) engine_->setCue(on, bundleID);
    });
    listener.onCueVolumeReceived = alive_.guard([this](const QString& bundleID, float value) {
        if (engine_) engine_->setCueVolume(value, bundleID);
    });
    listener.onSlotReceived = alive_.guard([this](int index, const QString& id) {
        if (engine_) engine_->setSlot(id, index);
    });
    listener.onPanicReceived = alive_.guard([this](bool on) {
        if (engine_) engine_->setPanic(on);
    });
    listener.onRecordReceived = alive_.guard([this](bool on) {
        if (!engine_) return;
        if (on) engine_->startRecording();
        else engine_->stopRecording();
    });
    listener.onAutoRecReceived = alive_.guard([this](bool on) {
        if (engine_) engine_->setAutoRec(on);
    });
    // Snapshot messages are accepted and change nothing.
    listener.onSnapshotReceived = [](int) {};
    listener.onSnapshotSaveReceived = [] {};
    listener.onCommandReceived = alive_.guard([this](OSCCommand command, std::optional<float> value) {
        execute(command, value);
    });
    listener.onQuellorValueReceived = alive_.guard([this](int number, float value) {
        handleNumberedValue(number, value);
    });
    listener.onCompanionConnected = alive_.guard([this](const NetworkEndpoint& endpoint) {
        if (engine_) engine_->companion().didConnect(endpoint);
    });
    if (midi)
        midi->onControlChangeReceived = alive_.guard([this](int number, int value, MIDISource source) {
            handleControlChange(number, value, source);
        });
}

std::optional<QString> EngineRemoteControl::stripRoute(int strip) const {
    return OSCCommand::slotRouteID(strip, engine_->consoleSlots(), storedStripCount(UserDefaults::standard()));
}

void EngineRemoteControl::execute(const OSCCommand& command, std::optional<float> value) {
    MixerEngine* engine = engine_;
    if (!engine) return;
    using Kind = OSCCommand::Kind;
    if (command.kind() == Kind::StripFader) {
        if (!value) return;
        if (auto id = stripRoute(command.number())) engine->performRouteAction(*id, *value);
        return;
    }
    if (value && !(*value >= 0.5f)) return;
    switch (command.kind()) {
    case Kind::StripMute:
        if (auto id = stripRoute(command.number())) engine->toggleRouteMute(*id);
        break;
    case Kind::StripCue:
        if (auto id = stripRoute(command.number())) engine->toggleRouteCue(*id);
        break;
    case Kind::StripSolo:
        if (auto id = stripRoute(command.number())) engine->toggleRouteSolo(*id);
        break;
    case Kind::Scene:
        // Accepted; recalling a snapshot from a remote command is not offered.
        break;
    case Kind::Record:
        engine->toggleRecording();
        break;
    case Kind::Panic:
        engine->setPanic(!engine->isPanicked());
        break;
    case Kind::MainUp:
    case Kind::MainDown:
        step(engine->systemVolume(), command.kind() == Kind::MainUp ? kVolumeStep : -kVolumeStep);
        break;
    case Kind::MainMute:
        if (engine->systemVolume().canMute()) engine->systemVolume().toggleMute();
        break;
    case Kind::PhonesUp:
    case Kind::PhonesDown:
        if (VolumeControlling* phones = engine->activePhonesVolume())
            step(*phones, command.kind() == Kind::PhonesUp ? kVolumeStep : -kVolumeStep);
        break;
    case Kind::Lock:
        ConsoleLock::toggle(UserDefaults::standard());
        break;
    case Kind::StripFader:
        break;
    }
}

void EngineRemoteControl::handleControlChange(int number, int value, MIDISource source) {
    if (!engine_) return;
    if (auto route = mappings_.routeForControl(number, source))
        engine_->performRouteAction(*route, MIDIMappingManager::faderValue(value));
}

void EngineRemoteControl::handleNumberedValue(int number, float value) {
    if (!engine_) return;
    // The same mapping table as MIDI, without a source: an OSC control is learnt like a controller.
    if (auto route = mappings_.routeForControl(number, std::nullopt)) engine_->performRouteAction(*route, value);
}

}  // namespace quellor
