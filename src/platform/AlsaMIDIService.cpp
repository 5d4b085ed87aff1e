#include "platform/AlsaMIDIService.h"

#include "base/Logger.h"

#include <alsa/asoundlib.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <map>
#include <mutex>
#include <set>
#include <thread>

namespace quellor {
namespace {

// libasound prints its own diagnostics to standard error (for instance when /dev/snd/seq is
// missing). The caller logs the failure it cares about; the library's lines go to debug.
void alsaErrorHandler(const char* file, int line, const char* function, int err, const char* fmt, ...) {
    char text[512];
    va_list args;
    va_start(args, fmt);
    std::vsnprintf(text, sizeof text, fmt, args);
    va_end(args);
    static const Logger log("AlsaMIDIService");
    log.debug("%s:%d (%s) %s%s%s", file, line, function, text, err ? ": " : "", err ? snd_strerror(err) : "");
}

std::uint32_t controlChangeWord(int channel, int number, int value) {
    return (0x2u << 28) | (0xBu << 20) | (std::uint32_t(channel & 0xF) << 16) |
           (std::uint32_t(std::clamp(number, 0, 127)) << 8) | std::uint32_t(std::clamp(value, 0, 127));
}

int notificationFor(int eventType) {
    switch (eventType) {
    case SND_SEQ_EVENT_CLIENT_START:
    case SND_SEQ_EVENT_PORT_START: return MIDIService::ObjectAdded;
    case SND_SEQ_EVENT_CLIENT_EXIT:
    case SND_SEQ_EVENT_PORT_EXIT: return MIDIService::ObjectRemoved;
    case SND_SEQ_EVENT_CLIENT_CHANGE:
    case SND_SEQ_EVENT_PORT_CHANGE: return MIDIService::SetupChanged;
    default: return 0;  // subscriptions and the rest: not a change of the source list
    }
}

// 32-bit FNV-1a: small, fixed across builds and machines (std::hash is neither promised).
std::uint32_t fnv1a(const QByteArray& bytes) {
    std::uint32_t h = 2166136261u;
    for (char c : bytes) {
        h ^= std::uint8_t(c);
        h *= 16777619u;
    }
    return h;
}

}  // namespace

struct AlsaMIDIService::Impl {
    struct Listed {
        Ref ref;
        int client;
        int port;
        std::int32_t id;
        bool hardware;
    };
    struct Connection {
        Ref source;
        std::uint64_t connectionRef;
    };

    // Sequencer handle and port numbers; the handle is used under seqMutex by both threads.
    std::mutex seqMutex;
    snd_seq_t* seq = nullptr;
    int ownClient = -1;
    int announcePort = -1;
    int inputPort = -1;

    // Main thread only.
    Ref nextRef = 1;
    Ref clientRef = 0;
    Ref portRef = 0;
    std::vector<Listed> listed;      // the last listing, in order
    std::map<Ref, Listed> known;     // listed now or still connected
    std::set<Ref> connected;

    // What the reader thread calls, and the connections it attributes packets by.
    std::mutex callbackMutex;
    NotifyFn notify;
    ReceiveFn receive;
    std::map<std::pair<int, int>, Connection> connections;

    std::thread reader;
    int wakeFd = -1;

    void run();
    void drain();
    const Listed* find(Ref ref) const {
        auto it = known.find(ref);
        return it == known.end() ? nullptr : &it->second;
    }
};

void AlsaMIDIService::Impl::run() {
    std::vector<pollfd> fds;
    {
        std::lock_guard l(seqMutex);
        int n = snd_seq_poll_descriptors_count(seq, POLLIN);
        fds.resize(std::size_t(std::max(n, 0)) + 1);
        snd_seq_poll_descriptors(seq, fds.data(), unsigned(n), POLLIN);
    }
    fds.back() = pollfd{wakeFd, POLLIN, 0};
    for (;;) {
        if (poll(fds.data(), fds.size(), -1) < 0) {
            if (errno == EINTR) continue;
            return;
        }
        if (fds.back().revents & POLLIN) return;
        drain();
    }
}

void AlsaMIDIService::Impl::drain() {
    std::vector<Decoded> batch;
    {
        std::lock_guard l(seqMutex);
        for (;;) {
            snd_seq_event_t* ev = nullptr;
            int r = snd_seq_event_input(seq, &ev);
            if (r == -ENOSPC) continue;  // the kernel queue overran: what was lost is lost, read on
            if (r < 0 || !ev) break;     // -EAGAIN: drained
            if (auto decoded = decode(*ev, ownClient, inputPort)) batch.push_back(*decoded);
        }
    }
    std::lock_guard l(callbackMutex);
    for (const Decoded& in : batch) {
        if (in.notification != 0) {
            if (notify) notify(in.notification);
            continue;
        }
        auto c = connections.find({in.client, in.port});
        if (c != connections.end() && receive) receive(&in.word, 1, c->second.connectionRef);
    }
}

std::optional<AlsaMIDIService::Decoded> AlsaMIDIService::decode(const snd_seq_event& ev, int ownClient,
                                                                int inputPort) {
    if (ev.source.client == SND_SEQ_CLIENT_SYSTEM && ev.source.port == SND_SEQ_PORT_SYSTEM_ANNOUNCE) {
        const int id = notificationFor(ev.type);
        if (id == 0 || ev.data.addr.client == ownClient) return std::nullopt;
        return Decoded{id};
    }
    if (ev.type == SND_SEQ_EVENT_CONTROLLER && ev.dest.port == inputPort) {
        const auto& c = ev.data.control;
        return Decoded{0, ev.source.client, ev.source.port, controlChangeWord(c.channel, int(c.param), c.value)};
    }
    return std::nullopt;
}

AlsaMIDIService::AlsaMIDIService() : d(std::make_unique<Impl>()) {}

AlsaMIDIService::~AlsaMIDIService() { disposeClient(d->clientRef); }

MIDIService::Status AlsaMIDIService::createClient(const QString& name, NotifyFn notify, Ref* client) {
    if (d->seq) return -EBUSY;
    static std::once_flag handlerOnce;
    std::call_once(handlerOnce, [] { snd_lib_error_set_handler(alsaErrorHandler); });

    snd_seq_t* seq = nullptr;
    int err = snd_seq_open(&seq, "default", SND_SEQ_OPEN_INPUT, SND_SEQ_NONBLOCK);
    if (err < 0) return err;
    snd_seq_set_client_name(seq, name.toUtf8().constData());
    int announcePort = snd_seq_create_simple_port(seq, "announcements",
                                                  SND_SEQ_PORT_CAP_WRITE | SND_SEQ_PORT_CAP_NO_EXPORT,
                                                  SND_SEQ_PORT_TYPE_APPLICATION);
    err = announcePort < 0 ? announcePort
                           : snd_seq_connect_from(seq, announcePort, SND_SEQ_CLIENT_SYSTEM,
                                                  SND_SEQ_PORT_SYSTEM_ANNOUNCE);
    int wakeFd = err < 0 ? -1 : eventfd(0, EFD_CLOEXEC);
    if (err >= 0 && wakeFd < 0) err = -errno;
    if (err < 0) {
        snd_seq_close(seq);
        return err;
    }

    d->seq = seq;
    d->ownClient = snd_seq_client_id(seq);
    d->announcePort = announcePort;
    d->wakeFd = wakeFd;
    {
        std::lock_guard l(d->callbackMutex);
        d->notify = std::move(notify);
    }
    d->clientRef = d->nextRef++;
    d->reader = std::thread([impl = d.get()] { impl->run(); });
    *client = d->clientRef;
    return 0;
}

MIDIService::Status AlsaMIDIService::createInputPort(Ref client, const QString& name, ReceiveFn receive,
                                                     Ref* port) {
    if (client == 0 || client != d->clientRef) return -ENOENT;
    if (d->portRef != 0) return -EBUSY;
    int number;
    {
        std::lock_guard l(d->seqMutex);
        number = snd_seq_create_simple_port(d->seq, name.toUtf8().constData(),
                                            SND_SEQ_PORT_CAP_WRITE | SND_SEQ_PORT_CAP_SUBS_WRITE,
                                            SND_SEQ_PORT_TYPE_MIDI_GENERIC | SND_SEQ_PORT_TYPE_APPLICATION);
        if (number >= 0) d->inputPort = number;
    }
    if (number < 0) return number;
    {
        std::lock_guard l(d->callbackMutex);
        d->receive = std::move(receive);
    }
    d->portRef = d->nextRef++;
    *port = d->portRef;
    return 0;
}

void AlsaMIDIService::disposePort(Ref port) {
    if (port == 0 || port != d->portRef) return;
    {
        std::lock_guard l(d->callbackMutex);
        d->receive = nullptr;
        d->connections.clear();
    }
    {
        std::lock_guard l(d->seqMutex);
        snd_seq_delete_simple_port(d->seq, d->inputPort);  // drops its subscriptions too
        d->inputPort = -1;
    }
    d->connected.clear();
    d->portRef = 0;
}

void AlsaMIDIService::disposeClient(Ref client) {
    if (client == 0 || client != d->clientRef) return;
    disposePort(d->portRef);
    {
        std::lock_guard l(d->callbackMutex);
        d->notify = nullptr;
    }
    std::uint64_t one = 1;
    if (write(d->wakeFd, &one, sizeof one) < 0) {
        // An eventfd write fails only on counter overflow, which one write cannot reach.
    }
    d->reader.join();
    close(d->wakeFd);
    d->wakeFd = -1;
    snd_seq_close(d->seq);
    d->seq = nullptr;
    d->ownClient = d->announcePort = -1;
    d->clientRef = 0;
    d->listed.clear();
    d->known.clear();
}

int AlsaMIDIService::sourceCount() {
    struct Found {
        int client, port;
        bool hardware;
    };
    std::vector<Found> found;
    std::vector<PortName> names;
    if (d->seq) {
        std::lock_guard l(d->seqMutex);
        snd_seq_client_info_t* cinfo;
        snd_seq_port_info_t* pinfo;
        snd_seq_client_info_alloca(&cinfo);
        snd_seq_port_info_alloca(&pinfo);
        snd_seq_client_info_set_client(cinfo, -1);
        while (snd_seq_query_next_client(d->seq, cinfo) >= 0) {
            int client = snd_seq_client_info_get_client(cinfo);
            if (client == SND_SEQ_CLIENT_SYSTEM || client == d->ownClient) continue;
            bool onCard = snd_seq_client_info_get_card(cinfo) >= 0;
            snd_seq_port_info_set_client(pinfo, client);
            snd_seq_port_info_set_port(pinfo, -1);
            while (snd_seq_query_next_port(d->seq, pinfo) >= 0) {
                unsigned caps = snd_seq_port_info_get_capability(pinfo);
                const unsigned wanted = SND_SEQ_PORT_CAP_READ | SND_SEQ_PORT_CAP_SUBS_READ;
                if ((caps & wanted) != wanted || (caps & SND_SEQ_PORT_CAP_NO_EXPORT)) continue;
                bool hardware = onCard || (snd_seq_port_info_get_type(pinfo) & SND_SEQ_PORT_TYPE_HARDWARE);
                found.push_back({client, snd_seq_port_info_get_port(pinfo), hardware});
                names.push_back({QString::fromUtf8(snd_seq_client_info_get_name(cinfo)),
                                 QString::fromUtf8(snd_seq_port_info_get_name(pinfo))});
            }
        }
    }

    // A port keeps its reference while it stays at the same address under the same id; anything
    // else (a device plugged in again, another device at a reused address) gets a new reference.
    std::vector<std::int32_t> ids = deriveUniqueIDs(names);
    std::vector<Impl::Listed> listed;
    for (std::size_t i = 0; i < found.size(); ++i) {
        Ref ref = 0;
        for (const auto& [r, k] : d->known)
            if (k.client == found[i].client && k.port == found[i].port && k.id == ids[i]) ref = r;
        if (ref == 0) ref = d->nextRef++;
        listed.push_back({ref, found[i].client, found[i].port, ids[i], found[i].hardware});
    }
    std::erase_if(d->known, [this](const auto& entry) { return !d->connected.count(entry.first); });
    for (const auto& l : listed) d->known[l.ref] = l;
    d->listed = std::move(listed);
    return int(d->listed.size());
}

MIDIService::Ref AlsaMIDIService::source(int index) {
    if (index < 0 || index >= int(d->listed.size())) return 0;
    return d->listed[std::size_t(index)].ref;
}

MIDIService::Status AlsaMIDIService::uniqueID(Ref source, std::int32_t* id) {
    const Impl::Listed* s = d->find(source);
    if (!s) return -ENOENT;
    *id = s->id;
    return 0;
}

MIDIService::Status AlsaMIDIService::entity(Ref source) {
    const Impl::Listed* s = d->find(source);
    if (!s) return -ENOENT;
    return s->hardware ? 0 : -ENODEV;
}

MIDIService::Status AlsaMIDIService::connectSource(Ref port, Ref source, std::uint64_t connectionRef) {
    const Impl::Listed* s = d->find(source);
    if (port == 0 || port != d->portRef || !s) return -ENOENT;
    int err;
    {
        std::lock_guard l(d->seqMutex);
        err = snd_seq_connect_from(d->seq, d->inputPort, s->client, s->port);
    }
    if (err < 0 && err != -EBUSY) return err;  // EBUSY: someone already routed it to our port
    {
        std::lock_guard l(d->callbackMutex);
        d->connections[{s->client, s->port}] = {source, connectionRef};
    }
    d->connected.insert(source);
    return 0;
}

MIDIService::Status AlsaMIDIService::disconnectSource(Ref port, Ref source) {
    const Impl::Listed* s = d->find(source);
    if (port == 0 || port != d->portRef || !s || !d->connected.erase(source)) return -ENOENT;
    {
        std::lock_guard l(d->callbackMutex);
        // The address may meanwhile belong to another source; only this source's entry goes.
        auto c = d->connections.find({s->client, s->port});
        if (c != d->connections.end() && c->second.source == source) d->connections.erase(c);
    }
    std::lock_guard l(d->seqMutex);
    // Fails when the port is already gone (the kernel dropped the subscription with it).
    return snd_seq_disconnect_from(d->seq, d->inputPort, s->client, s->port);
}

std::vector<std::int32_t> AlsaMIDIService::deriveUniqueIDs(const std::vector<PortName>& ports) {
    std::vector<std::int32_t> ids;
    std::map<QString, int> seen;
    for (const PortName& p : ports) {
        QString key = p.client + QChar(0) + p.port;
        int occurrence = seen[key]++;
        if (occurrence > 0) key += QChar(0) + QString::number(occurrence);
        ids.push_back(std::int32_t(fnv1a(key.toUtf8())));
    }
    return ids;
}

}  // namespace quellor
