#pragma once
// The companion app as the engine keeps it: where it was last heard from, whether its feeds are
// open, and the two feeds it gets on its port (kPort unless the program was told another) of its host: "/app/list" (the application list, now or
// coalesced 0.05 s later) and "/meters" (the meter clock's frames). A companion silent for more
// than 20 s is forgotten (logged once) the next time a feed would go out; its next datagram opens
// the feeds again.
//
// Observable field (endpoint) emits its change signal only when an assignment changes the value.
//
// Threads: main thread only.

#include <QObject>
#include <functional>
#include <optional>

#include "base/Scheduler.h"
#include "engine/MeterFeedGate.h"
#include "engine/MeterLevels.h"
#include "engine/MixerAppState.h"
#include "platform/NetworkEndpoint.h"

namespace quellor {

class RemoteLink;

class CompanionFeeds : public QObject {
    Q_OBJECT
public:
    // Feeds go to the companion's host on this port.
    static constexpr quint16 kPort = 9001;

    // Sends through `remote` (none: nothing is sent, though the contact is still kept) to `port` of
    // the companion's host; `appState` is the application list as the companion gets it. Both must
    // outlive the feeds.
    CompanionFeeds(RemoteLink* remote, std::function<MixerAppState()> appState, quint16 port = kPort);

    // Where the companion was last heard from (its host and source port).
    const std::optional<NetworkEndpoint>& endpoint() const { return endpoint_; }
    const MeterFeedGate& feedGate() const { return feedGate_; }

    // A datagram from the companion arrived: remember it (a new host replaces the old one and
    // drops its connection), reopen the feeds and send the application list.
    void didConnect(const NetworkEndpoint& from);
    // Forgets the companion and drops its connection.
    void forget();

    // Pushes the application list, now or coalesced 0.05 s later. Nothing is sent while no
    // companion is connected.
    void sendAppList();
    void scheduleAppListSend();
    // One "/meters" frame of the meter clock. While everything is quiet the feed stops after one
    // all-silent frame; a new contact gets one again.
    void sendMeterFrame(const MeterLevels::Levels& levels);

signals:
    void endpointChanged();

private:
    // The companion to feed now, or nothing; a companion silent for too long is forgotten here.
    std::optional<NetworkEndpoint> feedTarget();
    void setEndpoint(std::optional<NetworkEndpoint> endpoint);
    void send(const QByteArray& text, const NetworkEndpoint& to, const QString& address);

    RemoteLink* remote_;
    std::function<MixerAppState()> appState_;
    quint16 port_;
    std::optional<NetworkEndpoint> endpoint_;
    MeterFeedGate feedGate_;
    bool metersWereSilent_ = true;
    TaskSlot appListSendTask_;
    Liveness alive_;
};

}  // namespace quellor
