// The companion app: its contact, the feeds to it ("/app/list" here, "/meters" with the meter
// clock), when it counts as gone, and the codes that admit it.

#include "audio/AudioProcessMonitor.h"
#include "audio/SystemVolumeController.h"
#include "audio/VolumeControlling.h"
#include "base/Logger.h"
#include "engine/MixerAppState.h"
#include "engine/MixerEngine.h"

namespace quellor {

namespace {

const Logger log("MixerEngine");
constexpr double kAppListDelay = 0.05;

}  // namespace

NetworkEndpoint MixerEngine::endpoint(const NetworkEndpoint& endpoint, quint16 port) {
    return endpoint.replacingPort(port);
}

void MixerEngine::setIphoneEndpoint(std::optional<NetworkEndpoint> endpoint) {
    if (assignIfChanged(iphoneEndpoint_, std::move(endpoint))) emit iphoneEndpointChanged();
}

void MixerEngine::phoneDidConnect(const NetworkEndpoint& from) {
    bool changed = false;
    if (iphoneEndpoint_) {
        const NetworkEndpoint old = endpoint(*iphoneEndpoint_, kCompanionPort);
        if (old != endpoint(from, kCompanionPort)) {
            if (remote_) remote_->cancelCompanionConnection(old);
            changed = true;
        }
    }
    setIphoneEndpoint(from);
    const bool opened = phoneFeedGate_.touch(Scheduler::current().now());
    if (changed || opened) metersWereSilent_ = false;
    sendAppList();
}

void MixerEngine::forgetPhone() {
    if (iphoneEndpoint_ && remote_) remote_->cancelCompanionConnection(endpoint(*iphoneEndpoint_, kCompanionPort));
    setIphoneEndpoint(std::nullopt);
    phoneFeedGate_.lastContact.reset();
}

std::optional<NetworkEndpoint> MixerEngine::pausePhoneFeedIfSilent() {
    if (!iphoneEndpoint_) return std::nullopt;
    if (!phoneFeedGate_.expire(Scheduler::current().now())) return iphoneEndpoint_;
    log.info("Phone silent for %lds; pausing the meter feed", long(MeterFeedGate::kWindow));
    forgetPhone();
    return std::nullopt;
}

void MixerEngine::regeneratePairingPIN() {
    if (!remote_) return;
    remote_->setListenerPairingPIN(remote_->regeneratePairingPIN());
    forgetPhone();
}

void MixerEngine::regenerateControlPassword() {
    if (!remote_) return;
    remote_->setListenerControlPassword(remote_->regenerateControlPassword());
}

void MixerEngine::restartOSCListener() {
    if (remote_) remote_->restartOSCListener();
}

MixerAppState MixerEngine::appState() const {
    MixerAppState::Sources sources;
    sources.outputVolume = systemVolume_->volume();
    sources.inputVolume = inputVolume_->volume();
    sources.hasOutputDevice = currentOutputDevice().has_value();
    if (VolumeControlling* phones = activePhonesVolume()) sources.phonesVolume = phones->volume();
    for (const AudioApp& app : processMonitor_->apps()) sources.apps.push_back({app.bundleID, app.name});
    sources.volumes = &volumes_;
    sources.consoleSlots = slots_;
    sources.isPanicked = isPanicked_;
    return MixerAppState::make(sources);
}

void MixerEngine::sendAppList() {
    const auto to = pausePhoneFeedIfSilent();
    if (!to || !remote_) return;
    const auto text = json::encode(appState());
    if (!text) return;
    remote_->sendCompanionText(QString::fromUtf8(*text), endpoint(*to, kCompanionPort), QStringLiteral("/app/list"));
}

void MixerEngine::scheduleAppListSend() {
    if (!pausePhoneFeedIfSilent() || appListSendTask_.pending()) return;
    appListSendTask_.set(Scheduler::current().after(kAppListDelay, alive_.guard([this] {
        appListSendTask_.clear();
        sendAppList();
    })));
}

}  // namespace quellor
