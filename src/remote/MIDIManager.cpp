#include "remote/MIDIManager.h"

#include "base/Observable.h"
#include "remote/MIDISourceConnectionPolicy.h"

namespace quellor {
namespace {

// Words in a Universal MIDI Packet, by message type (the top four bits of the first word).
std::size_t packetWords(std::uint32_t first) {
    switch (first >> 28) {
    case 0x3: case 0x4: case 0x8: case 0x9: case 0xA: return 2;
    case 0xB: case 0xC: return 3;
    case 0x5: case 0xD: case 0xE: case 0xF: return 4;
    default: return 1;
    }
}

// Calls fn(number, value) for each MIDI 1.0 control change (message type 2, status 0xB) on any
// group and channel. A packet cut short at the end of the list is dropped.
template <class F>
void forEachControlChange(const std::uint32_t* words, std::size_t count, F fn) {
    for (std::size_t i = 0; i < count;) {
        std::uint32_t w = words[i];
        std::size_t size = packetWords(w);
        if (size > count - i) return;
        if ((w >> 28) == 0x2 && ((w >> 20) & 0xF) == 0xB) fn(int((w >> 8) & 0x7F), int(w & 0x7F));
        i += size;
    }
}

}  // namespace

MIDIManager::MIDIManager(MIDIService& service, QObject* parent) : QObject(parent), service_(service) {
    // The service's callbacks and the work they post hold the manager weakly: posted work that
    // comes due after the manager is gone does nothing.
    auto weak = alive_.weak();
    auto notify = [this, weak](int messageID) {
        if (messageID != MIDIService::SetupChanged && messageID != MIDIService::ObjectAdded &&
            messageID != MIDIService::ObjectRemoved)
            return;
        Scheduler::current().post([this, weak] {
            if (!weak.expired()) connectSources();
        });
    };
    MIDIService::Status status = service_.createClient("QuellorMIDIClient", notify, &client_);
    if (status != 0) {
        client_ = 0;
        log_.error("MIDI-asiakkaan luonti epäonnistui: %d", status);
        return;
    }

    auto onPackets = [this, weak](const std::uint32_t* words, std::size_t count, std::uint64_t connectionRef) {
        if (weak.expired()) return;
        MIDISource source = MIDISource::fromConnectionReference(connectionRef);
        forEachControlChange(words, count, [&](int number, int value) {
            Scheduler::current().post([this, weak, number, value, source] {
                if (!weak.expired()) receive(number, value, source);
            });
        });
    };
    status = service_.createInputPort(client_, "QuellorMIDIInputPort", onPackets, &port_);
    if (status != 0) {
        port_ = 0;
        log_.error("MIDI-syöteportin luonti epäonnistui: %d", status);
        return;
    }
    connectSources();
}

MIDIManager::~MIDIManager() {
    if (port_ != 0) service_.disposePort(port_);
    if (client_ != 0) service_.disposeClient(client_);
}

void MIDIManager::connectSources() {
    if (port_ == 0) return;
    int n = service_.sourceCount();
    log_.info("Connecting MIDI sources, count: %ld", long(n));

    std::vector<MIDISourceConnectionPolicy::SystemSource> system;
    for (int i = 0; i < n; ++i) {
        MIDIService::Ref ref = service_.source(i);
        std::int32_t id = 0;
        if (service_.uniqueID(ref, &id) != 0) id = 0;
        system.push_back({id, ref});
    }
    auto plan = MIDISourceConnectionPolicy::plan(system, connectedSources_);
    auto before = connectedSources_;

    for (const auto& [id, ref] : plan.disconnect) {
        service_.disconnectSource(port_, ref);
        connectedSources_.erase(id);
        log_.info("MIDI source %d went away; forgetting it", id);
    }
    for (const auto& s : plan.connect) {
        MIDISource source{s.uniqueID, service_.entity(s.ref) == 0};
        MIDIService::Status status = service_.connectSource(port_, s.ref, source.connectionReference());
        if (status == 0)
            connectedSources_[s.uniqueID] = s.ref;
        else
            log_.error("Virhe yhdistettäessä MIDI-lähteeseen %d: %d", s.uniqueID, status);
    }
    if (connectedSources_ != before) emit connectedSourcesChanged();
}

void MIDIManager::receive(int number, int value, MIDISource source) {
    log_.debug("CC %ld = %ld", long(number), long(value));
    if (assignIfChanged(lastReceivedCC_, ControlChange{number, value})) emit lastReceivedCCChanged();
    if (onControlChangeReceived) onControlChangeReceived(number, value, source);
}

}  // namespace quellor
