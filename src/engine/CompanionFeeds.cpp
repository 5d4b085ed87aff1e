#include "engine/CompanionFeeds.h"

#include "base/Logger.h"
#include "base/Observable.h"
#include "engine/RemoteLink.h"

namespace quellor {

namespace {

// The feeds' lines belong to the engine's category, where they have always been looked for.
const Logger log("MixerEngine");
constexpr double kAppListDelay = 0.05;

}  // namespace

CompanionFeeds::CompanionFeeds(RemoteLink* remote, std::function<MixerAppState()> appState, quint16 port)
    : remote_(remote), appState_(std::move(appState)), port_(port) {}

void CompanionFeeds::setEndpoint(std::optional<NetworkEndpoint> endpoint) {
    if (assignIfChanged(endpoint_, std::move(endpoint))) emit endpointChanged();
}

void CompanionFeeds::didConnect(const NetworkEndpoint& from) {
    bool changed = false;
    if (endpoint_) {
        const NetworkEndpoint old = endpoint_->replacingPort(port_);
        if (old != from.replacingPort(port_)) {
            if (remote_) remote_->cancelCompanionConnection(old);
            changed = true;
        }
    }
    setEndpoint(from);
    const bool opened = feedGate_.touch(Scheduler::current().now());
    if (changed || opened) metersWereSilent_ = false;
    sendAppList();
}

void CompanionFeeds::forget() {
    if (endpoint_ && remote_) remote_->cancelCompanionConnection(endpoint_->replacingPort(port_));
    setEndpoint(std::nullopt);
    feedGate_.lastContact.reset();
}

std::optional<NetworkEndpoint> CompanionFeeds::feedTarget() {
    if (!endpoint_) return std::nullopt;
    if (!feedGate_.expire(Scheduler::current().now())) return endpoint_;
    // The text stays as it has always read ("Phone"): people and scripts look for it.
    log.info("Phone silent for %lds; pausing the meter feed", long(MeterFeedGate::kWindow));
    forget();
    return std::nullopt;
}

void CompanionFeeds::send(const QByteArray& text, const NetworkEndpoint& to, const QString& address) {
    remote_->sendCompanionText(QString::fromUtf8(text), to.replacingPort(port_), address);
}

void CompanionFeeds::sendAppList() {
    const auto to = feedTarget();
    if (!to || !remote_) return;
    const auto text = json::encode(appState_());
    if (text) send(*text, *to, QStringLiteral("/app/list"));
}

void CompanionFeeds::scheduleAppListSend() {
    if (!feedTarget() || appListSendTask_.pending()) return;
    appListSendTask_.set(Scheduler::current().after(kAppListDelay, alive_.guard([this] {
        appListSendTask_.clear();
        sendAppList();
    })));
}

void CompanionFeeds::sendMeterFrame(const MeterLevels::Levels& levels) {
    const auto to = feedTarget();
    if (!to) return;
    const bool silent = MeterLevels::isSilent(levels);
    if (silent && metersWereSilent_) return;
    metersWereSilent_ = silent;
    if (!remote_) return;
    const auto text = MeterLevels::payload(levels);
    if (text) send(*text, *to, QStringLiteral("/meters"));
}

}  // namespace quellor
