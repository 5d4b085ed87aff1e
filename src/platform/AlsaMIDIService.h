#pragma once
// The MIDI service on the ALSA sequencer (libasound).
//
// - The client is a sequencer client with the given name; it listens to the system announce port,
//   so that clients and ports coming, going or changing are notified (ObjectAdded, ObjectRemoved,
//   SetupChanged). Announcements about our own client are not passed on.
// - The input port is a writable sequencer port; connecting a source subscribes the port to it.
// - Sources are the readable, subscribable ports of the other clients. A source is hardware when
//   its client belongs to a sound card or the port says it is a hardware port.
// - The sequencer has no persistent id for a port (client numbers change when a device is plugged
//   in again), so the unique id is derived from the client and port names: a mapping bound to a
//   controller stays bound across a restart and a reconnection.
// - Incoming control changes are handed over as MIDI 1.0 channel voice packets (type 2). Other
//   event kinds are not passed on: nothing in the program reads them.
// - Where the machine has no sequencer (no /dev/snd/seq), createClient fails with the negative
//   error number and nothing else happens.
//
// Threads: as MIDIService. One reader thread per client delivers notifications and packets; it
// stops in disposeClient. One client per service at a time.

#include "platform/MIDIService.h"

#include <memory>
#include <optional>
#include <vector>

struct snd_seq_event;  // snd_seq_event_t of <alsa/seq_event.h>

namespace quellor {

class AlsaMIDIService : public MIDIService {
public:
    AlsaMIDIService();
    ~AlsaMIDIService() override;

    Status createClient(const QString& name, NotifyFn notify, Ref* client) override;
    Status createInputPort(Ref client, const QString& name, ReceiveFn receive, Ref* port) override;
    void disposePort(Ref port) override;
    void disposeClient(Ref client) override;
    int sourceCount() override;
    Ref source(int index) override;
    Status uniqueID(Ref source, std::int32_t* id) override;
    Status entity(Ref source) override;
    Status connectSource(Ref port, Ref source, std::uint64_t connectionRef) override;
    Status disconnectSource(Ref port, Ref source) override;

    // One sequencer port as listed, in client:port order.
    struct PortName {
        QString client;
        QString port;
    };
    // The unique id of each port, from its names only. Ports with the same names (two controllers
    // of one model) are told apart by their order among themselves.
    static std::vector<std::int32_t> deriveUniqueIDs(const std::vector<PortName>& ports);

    // What one sequencer event is to the service: a notification from the system announce port
    // (about a client other than `ownClient`), or a control change that a source sent to
    // `inputPort` as a MIDI 1.0 packet word. Nothing for every other event. Pure; any thread.
    struct Decoded {
        int notification = 0;  // a Notification, or 0 for a packet
        int client = 0;        // the packet's sender
        int port = 0;
        std::uint32_t word = 0;
        friend bool operator==(const Decoded&, const Decoded&) = default;
    };
    static std::optional<Decoded> decode(const snd_seq_event& event, int ownClient, int inputPort);

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

}  // namespace quellor
