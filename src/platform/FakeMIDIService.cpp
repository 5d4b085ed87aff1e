#include "platform/FakeMIDIService.h"

#include <algorithm>

namespace quellor {

MIDIService::Status FakeMIDIService::createClient(const QString& name, NotifyFn notify, Ref* client) {
    std::lock_guard l(mutex_);
    if (clientFailure_ != 0) return clientFailure_;
    client_ = nextRef_++;
    clientName_ = name;
    notify_ = std::move(notify);
    *client = client_;
    return 0;
}

MIDIService::Status FakeMIDIService::createInputPort(Ref client, const QString& name, ReceiveFn receive,
                                                     Ref* port) {
    std::lock_guard l(mutex_);
    if (client == 0 || client != client_) return kNotFound;
    if (portFailure_ != 0) return portFailure_;
    port_ = nextRef_++;
    portName_ = name;
    receive_ = std::move(receive);
    *port = port_;
    return 0;
}

void FakeMIDIService::disposePort(Ref port) {
    std::lock_guard l(mutex_);
    if (port == 0 || port != port_) return;
    port_ = 0;
    receive_ = nullptr;
    connections_.clear();
}

void FakeMIDIService::disposeClient(Ref client) {
    std::lock_guard l(mutex_);
    if (client == 0 || client != client_) return;
    client_ = 0;
    notify_ = nullptr;
}

int FakeMIDIService::sourceCount() {
    std::lock_guard l(mutex_);
    return int(sources_.size());
}

MIDIService::Ref FakeMIDIService::source(int index) {
    std::lock_guard l(mutex_);
    if (index < 0 || index >= int(sources_.size())) return 0;
    return sources_[std::size_t(index)].ref;
}

const FakeMIDIService::Source* FakeMIDIService::find(Ref ref) const {
    auto it = std::find_if(sources_.begin(), sources_.end(), [ref](const Source& s) { return s.ref == ref; });
    return it == sources_.end() ? nullptr : &*it;
}

MIDIService::Status FakeMIDIService::uniqueID(Ref source, std::int32_t* id) {
    std::lock_guard l(mutex_);
    const Source* s = find(source);
    if (!s || !s->uniqueID) return kNotFound;
    *id = *s->uniqueID;
    return 0;
}

MIDIService::Status FakeMIDIService::entity(Ref source) {
    std::lock_guard l(mutex_);
    const Source* s = find(source);
    return s && s->isHardware ? 0 : kNotFound;
}

MIDIService::Status FakeMIDIService::connectSource(Ref port, Ref source, std::uint64_t connectionRef) {
    std::lock_guard l(mutex_);
    calls_.push_back({Call::Connect, source});
    if (port == 0 || port != port_ || !find(source)) return kNotFound;
    if (auto f = connectFailures_.find(source); f != connectFailures_.end()) return f->second;
    connections_[source] = connectionRef;
    return 0;
}

MIDIService::Status FakeMIDIService::disconnectSource(Ref port, Ref source) {
    std::lock_guard l(mutex_);
    calls_.push_back({Call::Disconnect, source});
    if (port == 0 || port != port_ || !connections_.erase(source)) return kNotFound;
    return 0;
}

MIDIService::Ref FakeMIDIService::addSource(std::optional<std::int32_t> uniqueID, bool isHardware, bool announce) {
    Ref ref;
    {
        std::lock_guard l(mutex_);
        ref = nextRef_++;
        sources_.push_back({ref, uniqueID, isHardware});
    }
    if (announce) notify(ObjectAdded);
    return ref;
}

void FakeMIDIService::removeSource(Ref source, bool announce) {
    {
        std::lock_guard l(mutex_);
        std::erase_if(sources_, [source](const Source& s) { return s.ref == source; });
        connections_.erase(source);  // a vanished source's connection goes with it
    }
    if (announce) notify(ObjectRemoved);
}

void FakeMIDIService::notify(int messageID) {
    NotifyFn fn;
    {
        std::lock_guard l(mutex_);
        fn = notify_;
    }
    if (fn) fn(messageID);
}

void FakeMIDIService::sendControlChange(Ref source, int number, int value, int channel, int group) {
    std::uint32_t word = (0x2u << 28) | (std::uint32_t(group & 0xF) << 24) | (0xBu << 20) |
                         (std::uint32_t(channel & 0xF) << 16) | (std::uint32_t(number & 0x7F) << 8) |
                         std::uint32_t(value & 0x7F);
    send(source, {word});
}

void FakeMIDIService::send(Ref source, const std::vector<std::uint32_t>& words) {
    ReceiveFn fn;
    std::uint64_t connectionRef = 0;
    {
        std::lock_guard l(mutex_);
        auto c = connections_.find(source);
        if (c == connections_.end()) return;
        connectionRef = c->second;
        fn = receive_;
    }
    if (fn) fn(words.data(), words.size(), connectionRef);
}

void FakeMIDIService::failConnect(Ref source, Status status) {
    std::lock_guard l(mutex_);
    if (status == 0)
        connectFailures_.erase(source);
    else
        connectFailures_[source] = status;
}

std::vector<FakeMIDIService::Call> FakeMIDIService::calls() const {
    std::lock_guard l(mutex_);
    return calls_;
}

void FakeMIDIService::clearCalls() {
    std::lock_guard l(mutex_);
    calls_.clear();
}

std::map<MIDIService::Ref, std::uint64_t> FakeMIDIService::connections() const {
    std::lock_guard l(mutex_);
    return connections_;
}

bool FakeMIDIService::hasClient() const {
    std::lock_guard l(mutex_);
    return client_ != 0;
}

bool FakeMIDIService::hasPort() const {
    std::lock_guard l(mutex_);
    return port_ != 0;
}

QString FakeMIDIService::clientName() const {
    std::lock_guard l(mutex_);
    return clientName_;
}

QString FakeMIDIService::portName() const {
    std::lock_guard l(mutex_);
    return portName_;
}

}  // namespace quellor
