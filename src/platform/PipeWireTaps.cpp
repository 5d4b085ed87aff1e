#include "platform/PipeWireTaps.h"

#include <pipewire/filter.h>
#include <pipewire/pipewire.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cstring>
#include <ctime>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <thread>
#include <unistd.h>
#include <vector>

#include "base/Logger.h"
#include "base/Scheduler.h"
#include "platform/IOBufferStorage.h"
#include "platform/PipeWireConnection.h"
#include "platform/PipeWireCycle.h"
#include "platform/PipeWireDict.h"
#include "platform/PipeWireLoop.h"
#include "platform/AudioObjectStore.h"
#include "platform/PipeWireRouting.h"

namespace quellor {

using namespace hal;

namespace {

constexpr std::uint32_t kMaxFrames = PipeWireCycle::kMaxFrames;
constexpr std::size_t kMaxProcs = 4;
constexpr const char* kTapPrefix = "quellor.tap.";
constexpr const char* kAggregatePrefix = "quellor.aggregate.";

// The IO procedures of one aggregate and the memory its cycle works in. The data thread reads a
// slot's block only while the slot runs; the main thread changes a block only while it does not,
// once the data thread has taken in that it stopped (stopOnDataThread).
struct Render {
    struct Slot {
        IOProcID id = 0;
        IOBlock block;
        std::atomic<bool> running{false};
    };
    explicit Render(double rate) : clock(rate) {}
    PipeWireTaps::Impl* owner = nullptr;  // for the filter's state reports, on the loop thread
    std::array<Slot, kMaxProcs> procs;
    std::vector<void*> inPorts;   // one per tap channel
    std::vector<void*> outPorts;  // sub-device by sub-device, channel by channel
    std::vector<std::uint32_t> outChannels;  // per sub-device
    IOBufferStorage input, output;
    PipeWireCycle clock;  // data thread only
};

// Stops the slots (all of them without `only`) and returns once no cycle is calling them: the stop
// is carried out on the data thread between two cycles, which the caller waits for without
// spinning. Where the data thread does not run, it is carried out at once.
void stopOnDataThread(pw_context* context, Render& r, Render::Slot* only) {
    auto stop = [](spa_loop*, bool, std::uint32_t, const void*, std::size_t, void* data) {
        auto& [render, slot] = *static_cast<std::pair<Render*, Render::Slot*>*>(data);
        for (auto& s : render->procs)
            if (!slot || &s == slot) s.running.store(false, std::memory_order_relaxed);
        return 0;
    };
    std::pair<Render*, Render::Slot*> what{&r, only};
    if (context)
        pw_data_loop_invoke(pw_context_get_data_loop(context), stop, 0, nullptr, 0, true, &what);
    else
        stop(nullptr, false, 0, nullptr, 0, &what);
}

// One port's buffer for this cycle: its samples, and for an input the frames it carries.
float* portSamples(void* port, std::uint32_t& frames, bool output) {
    pw_buffer* b = pw_filter_dequeue_buffer(port);
    if (!b) return nullptr;
    spa_data& d = b->buffer->datas[0];
    float* samples = nullptr;
    if (d.data && d.chunk) {
        if (output) {
            frames = std::min(frames, d.maxsize / 4);
            d.chunk->offset = 0;
            d.chunk->size = frames * 4;
            d.chunk->stride = 4;
            samples = static_cast<float*>(d.data);
        } else {
            const std::uint32_t offset = std::min(d.chunk->offset, d.maxsize);
            frames = std::min(d.chunk->size, d.maxsize - offset) / 4;
            samples = reinterpret_cast<float*>(static_cast<std::uint8_t*>(d.data) + offset);
        }
    }
    pw_filter_queue_buffer(port, b);
    return samples;
}

std::uint64_t monotonicNow() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return std::uint64_t(ts.tv_sec) * 1'000'000'000ULL + std::uint64_t(ts.tv_nsec);
}

// The cycle's timing comes from the tap's buffers alone (PipeWireCycle); the position the filter is
// handed is never read.
void renderCycle(void* data, spa_io_position*) {
    auto& r = *static_cast<Render*>(data);
    const std::uint32_t tapChannels = std::uint32_t(r.inPorts.size());
    constexpr std::size_t kReadChannels = 8;  // channels past the first eight play silence
    std::array<const float*, kReadChannels> in{};
    std::array<std::uint32_t, kReadChannels> delivered{};
    const std::size_t read = std::min<std::size_t>(tapChannels, kReadChannels);
    for (std::size_t c = 0; c < read; ++c) {
        in[c] = portSamples(r.inPorts[c], delivered[c], false);
        if (!in[c]) delivered[c] = 0;
        if (delivered[c] == 0) in[c] = nullptr;  // a peer that delivered nothing this cycle
    }
    const auto cycle = r.clock.next(delivered.data(), read, monotonicNow());
    if (!cycle) return;
    const std::uint32_t frames = cycle->frames;

    // The tap's frames, interleaved, as the last input buffer; a port with fewer frames than the
    // cycle cannot be: the cycle is the fewest any port delivered.
    IOBuffer& tap = r.input.buffer(0);
    float* tapSamples = r.input.samples(0);
    for (std::uint32_t c = 0; c < tapChannels; ++c) {
        const float* from = c < in.size() ? in[c] : nullptr;
        for (std::uint32_t f = 0; f < frames; ++f) tapSamples[f * tapChannels + c] = from ? from[f] : 0.0f;
    }
    tap.byteSize = frames * tapChannels * 4;
    for (std::size_t s = 0; s < r.output.size(); ++s) {
        IOBuffer& b = r.output.buffer(s);
        b.byteSize = frames * r.outChannels[s] * 4;
        std::memset(b.data, 0, b.byteSize);
    }

    const IOBufferList inputs = r.input.list(), outputs = r.output.list();
    for (auto& slot : r.procs)
        if (slot.running.load(std::memory_order_relaxed)) slot.block(cycle->now, inputs, cycle->now, outputs, cycle->output);

    std::size_t port = 0;
    for (std::size_t s = 0; s < r.output.size(); ++s) {
        const float* written = r.output.samples(s);
        const std::uint32_t channels = r.outChannels[s];
        for (std::uint32_t c = 0; c < channels && port < r.outPorts.size(); ++c, ++port) {
            std::uint32_t n = frames;
            float* dst = portSamples(r.outPorts[port], n, true);
            if (!dst) continue;
            for (std::uint32_t f = 0; f < n; ++f) dst[f] = written[f * channels + c];
        }
    }
}

}  // namespace

struct PipeWireTaps::Impl : PipeWireConnection::Guest {
    struct Node {
        std::uint64_t serial = 0;
        std::string name;
        bool playback = false;  // a stream that plays
    };
    struct Tap {
        std::uint32_t channels = 2;
        QString uuid;
        std::string sinkName;
        pw_proxy* sink = nullptr;
        bool read = false;  // an aggregate's links to it are all made
        // Its processes and the executables they run: a new process of one of them joins the tap.
        std::set<std::string> executables;
        routing::TapRoute route;
    };
    struct Aggregate {
        std::string nodeName;
        AudioObjectID tap = 0;
        std::vector<std::string> subDevices;  // node names
        pw_filter* filter = nullptr;
        spa_hook filterListener{};
        std::unique_ptr<Render> render;
        std::map<std::pair<std::uint32_t, std::uint32_t>, pw_proxy*> links;  // by (output, input) port
        std::set<std::pair<std::uint32_t, std::uint32_t>> bound;  // the links the server has made
        bool dead = false;
    };

    AudioObjectStore& model;
    Scheduler& scheduler;
    Liveness alive;
    Logger log{QStringLiteral("PipeWireTaps")};

    // The connection we ride on (PipeWireConnection::Guest), and its loop; none while detached.
    PipeWireConnection* connection = nullptr;
    PipeWireLoop* pw = nullptr;
    bool lost = false;
    // Two syncs sent on connecting: once the first is answered the registry has listed what the
    // server had (the "default" metadata among it, bound on the way), once the second is the
    // metadata has told its targets, so that a stream's target read before it is moved is the one
    // it had. Nothing waits for them: streams are moved once both have come back.
    int knownSync = -1;
    int knownSyncs = 0;
    bool known() const { return knownSyncs == 2; }

    // Loop-thread state (the loop's lock guards it against the main thread's calls).
    std::map<std::uint32_t, Node> nodes;  // by registry id
    std::map<std::uint32_t, routing::Port> ports;  // by registry id
    std::map<std::uint32_t, routing::Targets> targets;  // stream id -> its targets in the metadata
    // Streams a released tap put back, by the core sync sent after the writes: none of them moves
    // to a tap again before the server has had the writes, since until then the targets read here
    // are still the released tap's.
    std::map<int, std::set<std::uint32_t>> settling;
    // Streams a released tap left to another tap that holds their process: what they had before.
    std::map<std::uint32_t, routing::Moved> inherited;
    std::map<AudioObjectID, Tap> taps;
    std::map<AudioObjectID, Aggregate> aggregates;
    // Target writes one move in flight per stream (routing::WriteGate), the sinks of released taps
    // until their streams have left them, the links of the graph those wait on, and a tick that
    // lets nothing wait past its time.
    struct RetiredSink {
        pw_proxy* proxy = nullptr;
        std::uint32_t node = 0;
        std::uint64_t until = 0;
    };
    routing::WriteGate gate;
    std::vector<RetiredSink> retired;
    std::map<std::uint32_t, routing::Link> links;
    spa_source* tick = nullptr;
    // Model objects of ours, also those of an earlier connection. Writes to any object may come from
    // other threads than the main one (a volume writer), so the set has a lock of its own.
    std::set<AudioObjectID> owned;
    mutable std::mutex ownedMutex;

    bool isOwned(AudioObjectID object) const {
        std::lock_guard lock(ownedMutex);
        return owned.count(object) != 0;
    }
    void own(AudioObjectID object) {
        std::lock_guard lock(ownedMutex);
        owned.insert(object);
    }
    std::uint64_t nextName = 1;
    IOProcID nextProc = 1;

    Impl(AudioObjectStore& m) : model(m), scheduler(Scheduler::current()) {}
    ~Impl() { detach(); }

    // --- The connection ---

    bool connected() const { return pw && !lost; }

    void attached(PipeWireConnection& c) override {
        connection = &c;
        pw = &c.loop();
        lost = false;
        knownSyncs = 0;
        knownSync = pw_core_sync(pw->core, PW_ID_CORE, 0);
    }

    // Lets go of the connection before it closes; the server removes whatever our client still
    // owned. While it is still up (the program quits: a lost one is never up), first puts back
    // every stream target we changed and waits for the server to have it.
    void detach() {
        if (!pw) return;
        Lock lock(*this);
        const bool restore = connected();
        for (auto& [id, a] : aggregates) destroyAggregate(a);
        aggregates.clear();
        while (!taps.empty()) {
            auto it = taps.begin();
            const AudioObjectID id = it->first;
            Tap t = std::move(it->second);
            taps.erase(it);
            releaseTap(id, t, restore);
        }
        settle(true);
        if (restore) settleBeforeClosing();
        // Nothing the server still sends, nor the tick, may reach the state cleared below: the
        // wait above lets the loop run.
        if (tick) pw_loop_destroy_source(pw_thread_loop_get_loop(pw->loop), tick);
        tick = nullptr;
        connection->dropGuest();
        connection = nullptr;
        pw = nullptr;
        nodes.clear();
        ports.clear();
        targets.clear();
        inherited.clear();
        links.clear();
        gate.clear();
        settling.clear();
        lost = false;
        knownSyncs = 0;
    }

    // The one wait for the server on the main thread, and only as the program quits: the targets
    // put back (by this detach and by every tap destroyed before it) must reach the server before
    // the connection closes, or the desktop keeps streams aimed at sinks that are gone. Two seconds
    // at the most: a server that hangs must not hold the quit. Loop lock held.
    int closingSync = -1;
    bool closingSynced = false;
    void settleBeforeClosing() {
        closingSynced = false;
        closingSync = pw_core_sync(pw->core, PW_ID_CORE, 0);
        timespec deadline{};
        pw_thread_loop_get_time(pw->loop, &deadline, 2 * SPA_NSEC_PER_SEC);
        while (!closingSynced && !lost)
            if (pw_thread_loop_timed_wait_full(pw->loop, &deadline) != 0) break;
    }

    void done(int seq) override {
        if (seq == knownSync && !known()) {
            if (++knownSyncs == 1)
                knownSync = pw_core_sync(pw->core, PW_ID_CORE, 0);
            else
                for (auto& [object, t] : taps) moveStreams(t);
        }
        if (settling.erase(seq))
            for (auto& [object, t] : taps) moveStreams(t);
        if (seq == closingSync) {
            closingSynced = true;
            pw_thread_loop_signal(pw->loop, false);
        }
    }

    void connectionLost() override {
        if (lost) return;
        lost = true;
        for (auto& [object, a] : aggregates) markDead(object, a);
        pw_thread_loop_signal(pw->loop, false);
    }

    // --- Registry ---

    void global(std::uint32_t id, const char* type, const spa_dict* props) override {
        if (std::strcmp(type, PW_TYPE_INTERFACE_Node) == 0) {
            nodes[id] = Node{std::uint64_t(dictNumber(props, PW_KEY_OBJECT_SERIAL)), dictText(props, PW_KEY_NODE_NAME),
                             dictText(props, PW_KEY_MEDIA_CLASS) == "Stream/Output/Audio"};
            // A new stream goes to its tap here, before the session manager links it anywhere.
            if (nodes[id].playback) joinTap(id);
            for (auto& [object, t] : taps) moveStreams(t);
            linkAll();
        } else if (std::strcmp(type, PW_TYPE_INTERFACE_Link) == 0) {
            links[id] = {std::uint32_t(dictNumber(props, PW_KEY_LINK_OUTPUT_NODE)),
                         std::uint32_t(dictNumber(props, PW_KEY_LINK_INPUT_NODE))};
            settle(false);
        } else if (std::strcmp(type, PW_TYPE_INTERFACE_Port) == 0) {
            routing::Port p;
            p.id = id;
            p.node = std::uint32_t(dictNumber(props, PW_KEY_NODE_ID));
            p.output = dictText(props, PW_KEY_PORT_DIRECTION) == "out";
            p.monitor = dictText(props, PW_KEY_PORT_MONITOR) == "true";
            p.index = dictText(props, PW_KEY_PORT_ID).empty() ? id : std::uint32_t(dictNumber(props, PW_KEY_PORT_ID));
            p.name = dictText(props, PW_KEY_PORT_NAME);
            ports[id] = p;
            linkAll();
        }
    }

    void globalRemove(std::uint32_t id) override {
        ports.erase(id);
        if (links.erase(id)) settle(false);
        auto it = nodes.find(id);
        if (it == nodes.end()) return;
        const std::string name = it->second.name;
        nodes.erase(it);
        targets.erase(id);
        inherited.erase(id);
        settle(false);
        // A stream that went takes its registry id with it; the id may come back for another object.
        for (auto& [object, t] : taps) t.route.moved.erase(id);
        for (auto& [object, a] : aggregates) {
            const Tap* tap = tapOf(a);
            const bool tapGone = tap && tap->sinkName == name;
            if (tapGone || std::find(a.subDevices.begin(), a.subDevices.end(), name) != a.subDevices.end())
                markDead(object, a);
        }
    }

    void defaultMetadata(std::uint32_t subject, const char* key, const char* type, const char* value) override {
        if (!key) {
            targets.clear();
            return;
        }
        std::optional<routing::Target>* slot = nullptr;
        if (std::strcmp(key, routing::kTargetObject) == 0) slot = &targets[subject].object;
        if (std::strcmp(key, routing::kTargetNode) == 0) slot = &targets[subject].node;
        if (!slot) return;
        if (value)
            *slot = routing::Target{type ? type : "", value};
        else
            slot->reset();
        if (!targets[subject].object && !targets[subject].node) targets.erase(subject);
    }

    // A stream whose process is known now may belong to a tap, or be another copy of a tapped
    // application.
    void streamChanged(std::uint32_t id) override {
        auto node = nodes.find(id);
        if (node == nodes.end() || !node->second.playback) return;
        joinTap(id);
        for (auto& [object, t] : taps) moveStreams(t);
    }

    // --- Taps: where streams play ---

    std::optional<std::uint32_t> nodeNamed(const std::string& name) const {
        for (const auto& [id, n] : nodes)
            if (n.name == name) return id;
        return std::nullopt;
    }

    const Tap* tapOf(const Aggregate& a) const {
        auto it = taps.find(a.tap);
        return it == taps.end() ? nullptr : &it->second;
    }

    void write(const routing::Write& w) {
        if (!connection) return;
        connection->setDefaultMetadata(w.stream, w.key, w.value ? w.value->type.c_str() : nullptr,
                                       w.value ? w.value->value.c_str() : nullptr);
    }

    // The process of a stream, as the connection knows it so far; 0 when unknown.
    std::int32_t pidOf(std::uint32_t stream) const { return connection ? connection->processOfStream(stream) : 0; }

    static std::string executableOf(std::int32_t pid) {
        if (pid <= 0) return {};
        char path[4096];
        const std::string link = "/proc/" + std::to_string(pid) + "/exe";
        const ssize_t n = readlink(link.c_str(), path, sizeof path - 1);
        return n > 0 ? std::string(path, std::size_t(n)) : std::string();
    }

    // A stream of a process no tap holds yet, whose executable a tap's processes run, belongs to
    // that tap: another copy of the application, which goes through its strip from its first sample.
    void joinTap(std::uint32_t stream) {
        const std::int32_t pid = pidOf(stream);
        if (pid <= 0) return;
        for (const auto& [object, t] : taps)
            if (t.route.pids.count(pid)) return;
        const std::string exe = executableOf(pid);
        if (exe.empty()) return;
        for (auto& [object, t] : taps)
            if (t.executables.count(exe)) {
                t.route.pids.insert(pid);
                return;
            }
    }

    std::set<std::uint32_t> presentNodes() const {
        std::set<std::uint32_t> present;
        for (const auto& [id, n] : nodes) present.insert(id);
        return present;
    }

    // Those put back by a released tap only once the server has the writes (`settling`).
    std::vector<routing::Stream> playingStreams() const {
        std::vector<routing::Stream> found;
        for (const auto& [id, n] : nodes)
            if (n.playback && !isSettling(id)) found.push_back({id, pidOf(id)});
        return found;
    }

    bool isSettling(std::uint32_t stream) const {
        return std::any_of(settling.begin(), settling.end(), [stream](const auto& s) { return s.second.count(stream); });
    }

    // Points every stream of the tap's processes at its sink once an aggregate reads it: a playing
    // stream sent to a sink outside a running graph stalls there. From then on a new stream (of a
    // new copy too) goes there as soon as its node appears, before the session manager links it.
    void moveStreams(Tap& t) {
        auto sink = nodeNamed(t.sinkName);
        if (!sink || !t.read || !known()) return;
        t.route.sinkSerial = std::to_string(nodes[*sink].serial);
        std::map<std::uint32_t, routing::Targets> current = targets;
        gate.project(current);  // what the stream will have once its waiting writes are sent
        for (const auto& [id, m] : inherited) current[id] = m.before;
        for (const auto& [id, moved] : routing::streamsToMove(t.route, playingStreams(), current)) {
            t.route.moved[id] = moved;
            inherited.erase(id);
            send(routing::moveWrite(t.route, id), *sink);
        }
    }

    // Puts the streams the tap moved back where they played (routing::releaseWrites), hands those
    // of processes another tap holds over to it, then removes the sink. Nothing waits for the
    // server: a core sync tells when it has the writes (`settling`).
    void releaseTap(AudioObjectID object, Tap& t, bool restore) {
        std::set<std::int32_t> held;
        for (const auto& [other, o] : taps)
            if (other != object) held.insert(o.route.pids.begin(), o.route.pids.end());
        // Streams an earlier tap handed over and this one has not moved yet are its own.
        for (auto it = inherited.begin(); it != inherited.end();)
            if (t.route.pids.count(it->second.pid)) {
                t.route.moved.emplace(it->first, it->second);
                it = inherited.erase(it);
            } else {
                ++it;
            }
        if (restore) {
            std::map<std::uint32_t, routing::Targets> current = targets;
            gate.project(current);
            std::set<std::uint32_t> putBack;
            for (const routing::Write& w : routing::releaseWrites(t.route, current, presentNodes(), held)) {
                send(w, std::nullopt);
                putBack.insert(w.stream);
            }
            if (!putBack.empty() && connected())
                if (const int seq = pw_core_sync(pw->core, PW_ID_CORE, 0); seq >= 0) settling[seq] = std::move(putBack);
        }
        for (const auto& [id, m] : t.route.moved)
            if (held.count(m.pid)) inherited[id] = m;
        t.route.moved.clear();
        // The sink goes once its streams have left it; at once when they are not put back.
        if (t.sink)
            retired.push_back({t.sink, nodeNamed(t.sinkName).value_or(0),
                               restore ? monotonicNow() + routing::WriteGate::kLongestFlight : 0});
        t.sink = nullptr;
        settle(false);
        for (auto& [other, o] : taps)
            if (other != object) moveStreams(o);
    }

    static std::uint64_t monotonicNow() {
        timespec now{};
        clock_gettime(CLOCK_MONOTONIC, &now);
        return std::uint64_t(now.tv_sec) * SPA_NSEC_PER_SEC + std::uint64_t(now.tv_nsec);
    }

    // Sends a target write through the gate; `toSink` when it moves the stream to that sink.
    void send(const routing::Write& w, std::optional<std::uint32_t> toSink) {
        for (const routing::Write& out : gate.submit(w, toSink, monotonicNow())) write(out);
        settle(false);
    }

    // Sends the writes that may go now and removes the released sinks that can go; with `all`,
    // everything at once. The tick runs while anything waits.
    void settle(bool all) {
        const std::uint64_t now = monotonicNow();
        if (!gate.idle())
            for (const routing::Write& w : gate.due(links, presentNodes(), now, all)) write(w);
        for (auto it = retired.begin(); it != retired.end();) {
            if (routing::sinkCanGo(it->node, it->until, gate, links, now, all)) {
                pw_proxy_destroy(it->proxy);
                it = retired.erase(it);
            } else {
                ++it;
            }
        }
        const bool waiting = !gate.idle() || !retired.empty();
        if (waiting && !tick && pw)
            tick = pw_loop_add_timer(pw_thread_loop_get_loop(pw->loop),
                                     [](void* data, std::uint64_t) { static_cast<Impl*>(data)->settle(false); }, this);
        if (tick) {
            timespec period{0, 100 * 1000 * 1000};
            pw_loop_update_timer(pw_thread_loop_get_loop(pw->loop), tick, waiting ? &period : nullptr,
                                 waiting ? &period : nullptr, false);
        }
    }

    // --- Aggregates: the filter and its links ---

    void markDead(AudioObjectID object, Aggregate& a) {
        if (a.dead) return;
        a.dead = true;
        AudioObjectStore* m = &model;
        scheduler.post(alive.guard([m, object] { m->setProperty(object, {kDeviceIsAlive}, std::uint32_t(0)); }));
    }

    // A link counts once the server has bound it; one it refuses kills the aggregate and lets its
    // streams go back where they played.
    struct LinkWatch {
        Impl* self;
        AudioObjectID aggregate;
        std::pair<std::uint32_t, std::uint32_t> ends;
        spa_hook listener{};
    };
    std::map<pw_proxy*, std::unique_ptr<LinkWatch>> linkWatches;

    static void linkError(void* data, int, int, const char* message) {
        auto& w = *static_cast<LinkWatch*>(data);
        auto it = w.self->aggregates.find(w.aggregate);
        if (it == w.self->aggregates.end()) return;
        w.self->log.error("A link of %s was refused: %s", it->second.nodeName.c_str(), message ? message : "");
        w.self->markDead(w.aggregate, it->second);
        auto tap = w.self->taps.find(it->second.tap);
        if (tap != w.self->taps.end()) w.self->releaseTap(tap->first, tap->second, true);
    }

    static void linkBound(void* data, std::uint32_t) {
        auto& w = *static_cast<LinkWatch*>(data);
        auto it = w.self->aggregates.find(w.aggregate);
        if (it == w.self->aggregates.end()) return;
        it->second.bound.insert(w.ends);
        w.self->linkAll();
    }

    void dropLink(pw_proxy* proxy) {
        if (auto it = linkWatches.find(proxy); it != linkWatches.end()) {
            spa_hook_remove(&it->second->listener);
            linkWatches.erase(it);
        }
        pw_proxy_destroy(proxy);
    }

    void link(AudioObjectID object, Aggregate& a, std::pair<std::uint32_t, std::uint32_t> ends) {
        if (a.links.count(ends)) return;
        const std::string out = std::to_string(ends.first), in = std::to_string(ends.second);
        const std::string outNode = std::to_string(ports[ends.first].node), inNode = std::to_string(ports[ends.second].node);
        pw_properties* props = pw_properties_new(PW_KEY_LINK_OUTPUT_NODE, outNode.c_str(), PW_KEY_LINK_OUTPUT_PORT,
                                                 out.c_str(), PW_KEY_LINK_INPUT_NODE, inNode.c_str(),
                                                 PW_KEY_LINK_INPUT_PORT, in.c_str(), PW_KEY_OBJECT_LINGER, "false",
                                                 nullptr);
        auto* proxy = static_cast<pw_proxy*>(pw_core_create_object(pw->core, "link-factory", PW_TYPE_INTERFACE_Link,
                                                                   PW_VERSION_LINK, &props->dict, 0));
        pw_properties_free(props);
        if (!proxy) return;
        a.links[ends] = proxy;
        static const pw_proxy_events events = [] {
            pw_proxy_events e{};
            e.version = PW_VERSION_PROXY_EVENTS;
            e.bound = &Impl::linkBound;
            e.error = &Impl::linkError;
            return e;
        }();
        auto watch = std::make_unique<LinkWatch>(LinkWatch{this, object, ends, {}});
        pw_proxy_add_listener(proxy, &watch->listener, &events, watch.get());
        linkWatches[proxy] = std::move(watch);
    }

    // Makes every link whose two ports exist by now (routing::planLinks).
    void linkAll() {
        for (auto& [object, a] : aggregates) {
            if (a.dead || !a.render) continue;
            auto filter = nodeNamed(a.nodeName);
            auto tapIt = taps.find(a.tap);
            if (!filter || tapIt == taps.end()) continue;
            std::vector<std::optional<std::uint32_t>> devices;
            for (const std::string& name : a.subDevices) devices.push_back(nodeNamed(name));
            const routing::LinkPlan plan = routing::planLinks(ports, nodeNamed(tapIt->second.sinkName), filter,
                                                              std::uint32_t(a.render->inPorts.size()), devices,
                                                              a.render->outChannels);
            for (const auto& ends : plan.links) link(object, a, ends);
            const bool made = std::all_of(plan.links.begin(), plan.links.end(),
                                          [&a](const auto& ends) { return a.bound.count(ends) != 0; });
            if (plan.complete && made && !tapIt->second.read) {
                tapIt->second.read = true;
                moveStreams(tapIt->second);
            }
        }
    }

    static void filterState(void* data, pw_filter_state, pw_filter_state state, const char* error) {
        auto& r = *static_cast<Render*>(data);
        if (state != PW_FILTER_STATE_ERROR) return;
        for (auto& [object, a] : r.owner->aggregates)
            if (a.render.get() == &r) r.owner->markDead(object, a);
    }

    bool makeFilter(Aggregate& a, std::uint32_t tapChannels, const std::vector<std::uint32_t>& outChannels,
                    std::uint32_t frames, double rate) {
        a.nodeName = kAggregatePrefix + std::to_string(nextName++);
        const std::string latency = std::to_string(frames) + "/" + std::to_string(std::uint32_t(rate));
        pw_properties* props = pw_properties_new(
            PW_KEY_NODE_NAME, a.nodeName.c_str(), PW_KEY_NODE_DESCRIPTION, "Quellor mix", PW_KEY_MEDIA_TYPE, "Audio",
            PW_KEY_MEDIA_CATEGORY, "Filter", PW_KEY_MEDIA_ROLE, "DSP", PW_KEY_NODE_AUTOCONNECT, "false",
            PW_KEY_NODE_LATENCY, latency.c_str(), PW_KEY_OBJECT_LINGER, "false", nullptr);
        a.filter = pw_filter_new(pw->core, a.nodeName.c_str(), props);
        if (!a.filter) return false;
        auto render = std::make_unique<Render>(rate);
        render->outChannels = outChannels;
        render->owner = this;
        static const pw_filter_events filterEvents = [] {
            pw_filter_events e{};
            e.version = PW_VERSION_FILTER_EVENTS;
            e.state_changed = &Impl::filterState;
            e.process = &renderCycle;
            return e;
        }();
        pw_filter_add_listener(a.filter, &a.filterListener, &filterEvents, render.get());
        auto port = [&](pw_direction direction, const std::string& name) {
            pw_properties* p = pw_properties_new(PW_KEY_FORMAT_DSP, "32 bit float mono audio", PW_KEY_PORT_NAME,
                                                 name.c_str(), nullptr);
            return pw_filter_add_port(a.filter, direction, PW_FILTER_PORT_FLAG_MAP_BUFFERS, 0, p, nullptr, 0);
        };
        for (std::uint32_t c = 0; c < tapChannels; ++c)
            render->inPorts.push_back(port(PW_DIRECTION_INPUT, "in_" + std::to_string(c + 1)));
        std::vector<IOBufferStorage::Stream> outStreams;
        for (std::size_t s = 0; s < a.subDevices.size(); ++s) {
            for (std::uint32_t c = 0; c < render->outChannels[s]; ++c)
                render->outPorts.push_back(
                    port(PW_DIRECTION_OUTPUT, "out_" + std::to_string(s + 1) + "_" + std::to_string(c + 1)));
            outStreams.push_back({render->outChannels[s], kMaxFrames});
        }
        if (std::find(render->inPorts.begin(), render->inPorts.end(), nullptr) != render->inPorts.end() ||
            std::find(render->outPorts.begin(), render->outPorts.end(), nullptr) != render->outPorts.end())
            return false;
        render->input.reshape({{tapChannels, kMaxFrames}});
        render->output.reshape(outStreams);
        a.render = std::move(render);
        return pw_filter_connect(a.filter, PW_FILTER_FLAG_RT_PROCESS, nullptr, 0) == 0;
    }

    // Loop lock held. Disconnecting the filter takes it off the data thread before it goes.
    void destroyAggregate(Aggregate& a) {
        if (a.render) stopOnDataThread(pw ? pw->context : nullptr, *a.render, nullptr);
        for (auto& [ports, proxy] : a.links) dropLink(proxy);
        a.links.clear();
        a.bound.clear();
        if (a.filter) {
            spa_hook_remove(&a.filterListener);
            pw_filter_destroy(a.filter);
            a.filter = nullptr;
        }
    }

    // A model object of ours that goes away.
    void forget(AudioObjectID object) {
        {
            std::lock_guard lock(ownedMutex);
            owned.erase(object);
        }
        model.removePlainObject(object);
    }

    // Lets go of one of our objects: `release` undoes on the server what it made there (loop lock
    // held). Returns without waiting for the server.
    template <class Objects, class Release>
    OSStatus destroyOwned(AudioObjectID object, Objects& objects, Release release) {
        if (!isOwned(object)) return kStatusBadObject;
        {
            Lock lock(*this);
            auto it = objects.find(object);
            if (it != objects.end()) {
                release(it->second);
                objects.erase(it);
            }
        }
        forget(object);
        return kStatusOK;
    }

    // Calls `f(aggregate, slot)` for the IO procedure `proc` of `device`, under the loop's lock,
    // and returns what it returns; an error when there is no such procedure.
    template <class F>
    OSStatus withSlot(AudioObjectID device, IOProcID proc, F f) {
        Lock lock(*this);
        auto it = aggregates.find(device);
        if (it == aggregates.end() || !it->second.render) return kStatusBadObject;
        for (auto& slot : it->second.render->procs)
            if (slot.id == proc && proc != 0) return f(it->second, slot);
        return kStatusIllegalOperation;
    }

    // Stops the IO procedure `proc` of `device`; the loop's lock is not held while the data thread
    // takes the stop in (only the main thread changes aggregates, so the render stays).
    OSStatus stopSlot(AudioObjectID device, IOProcID proc) {
        Render* render = nullptr;
        Render::Slot* slot = nullptr;
        const OSStatus status = withSlot(device, proc, [&](Aggregate& a, Render::Slot& s) {
            render = a.render.get();
            slot = &s;
            return kStatusOK;
        });
        if (status == kStatusOK) stopOnDataThread(pw ? pw->context : nullptr, *render, slot);
        return status;
    }

    // Taken by each call from the main thread: the loop's lock, or nothing while detached.
    struct Lock {
        pw_thread_loop* loop;
        explicit Lock(const Impl& d) : loop(d.pw ? d.pw->loop : nullptr) {
            if (loop) pw_thread_loop_lock(loop);
        }
        ~Lock() {
            if (loop) pw_thread_loop_unlock(loop);
        }
    };
};

PipeWireTaps::PipeWireTaps(AudioObjectStore& model) : impl_(std::make_unique<Impl>(model)) {}

PipeWireTaps::~PipeWireTaps() = default;

PipeWireConnection::Guest& PipeWireTaps::guest() { return *impl_; }

void PipeWireTaps::detach() { impl_->detach(); }

bool PipeWireTaps::owns(AudioObjectID object) const { return impl_->isOwned(object); }

OSStatus PipeWireTaps::setPropertyData(AudioObjectID object, const PropertyAddress& address, std::uint32_t size,
                                       const void* data) {
    if (address.selector != kBufferFrameSize || size != 4) return impl_->model.setPropertyData(object, address, size, data);
    std::uint32_t frames = 0;
    std::memcpy(&frames, data, 4);
    const ValueRange range = valueOf<ValueRange>(impl_->model, object, kBufferFrameSizeRange).value_or(ValueRange{});
    if (frames == 0 || frames < range.minimum || frames > range.maximum) return kStatusIllegalOperation;
    const double rate = valueOf<double>(impl_->model, object, kNominalSampleRate).value_or(48000.0);
    {
        Impl::Lock lock(*impl_);
        auto it = impl_->aggregates.find(object);
        if (it == impl_->aggregates.end() || !it->second.filter) return kStatusBadObject;
        // The graph runs at the smallest quantum its nodes ask for.
        const std::string latency = std::to_string(frames) + "/" + std::to_string(std::uint32_t(rate));
        spa_dict_item item = SPA_DICT_ITEM_INIT(PW_KEY_NODE_LATENCY, latency.c_str());
        spa_dict dict = SPA_DICT_INIT(&item, 1);
        pw_filter_update_properties(it->second.filter, nullptr, &dict);
    }
    impl_->model.setProperty(object, address, frames);
    return kStatusOK;
}

OSStatus PipeWireTaps::createProcessTap(const TapDescription& description, AudioObjectID& tap) {
    Impl& d = *impl_;
    // A description that cannot name a tap, or names processes that are not there, never reaches
    // the server.
    if (description.uuid.isEmpty()) return kStatusIllegalOperation;
    std::vector<std::int32_t> pids;
    for (AudioObjectID process : description.processes) {
        auto pid = valueOf<std::int32_t>(d.model, process, kProcessPID);
        if (!pid) return kStatusBadObject;
        pids.push_back(*pid);
    }
    {
        // The loop thread marks the connection lost; the hardware connects again.
        Impl::Lock lock(d);
        if (!d.connected()) return kStatusUnspecified;
    }
    const AudioObjectID id = d.model.addPlainObject();
    d.model.setProperty(id, {kName}, description.name);
    d.own(id);

    Impl::Lock lock(d);
    for (const auto& [other, t] : d.taps)
        if (t.uuid == description.uuid) {
            d.forget(id);
            return kStatusIllegalOperation;
        }
    Impl::Tap t;
    t.route.pids.insert(pids.begin(), pids.end());
    for (std::int32_t pid : pids)
        if (std::string exe = Impl::executableOf(pid); !exe.empty()) t.executables.insert(exe);
    t.channels = description.mono ? 1 : 2;
    t.uuid = description.uuid;
    // Named for this program's run too: the session manager stores the sinks streams played on by
    // name, and a later run's sink must never answer to a name stored now.
    t.sinkName = kTapPrefix + std::to_string(getpid()) + "." + std::to_string(d.nextName++);
    const std::string position = description.mono ? "[ MONO ]" : "[ FL FR ]";
    // The session manager keeps nothing of it: no stored volume for a sink that lives as long as
    // the tap, and no default, since the media class is not a device's.
    pw_properties* props = pw_properties_new(
        "factory.name", "support.null-audio-sink", PW_KEY_NODE_NAME, t.sinkName.c_str(), PW_KEY_NODE_DESCRIPTION,
        description.name.toUtf8().constData(), PW_KEY_MEDIA_CLASS, "Audio/Sink/Internal", "audio.position", position.c_str(),
        "monitor.channel-volumes", "false", "state.restore-props", "false", PW_KEY_OBJECT_LINGER, "false", PW_KEY_NODE_VIRTUAL, "true",
        PW_KEY_PRIORITY_SESSION, "0", PW_KEY_NODE_DRIVER, "false", nullptr);
    t.sink = static_cast<pw_proxy*>(
        pw_core_create_object(d.pw->core, "adapter", PW_TYPE_INTERFACE_Node, PW_VERSION_NODE, &props->dict, 0));
    pw_properties_free(props);
    if (!t.sink) {
        d.forget(id);
        return kStatusUnspecified;
    }
    d.taps[id] = std::move(t);
    tap = id;
    return kStatusOK;
}

OSStatus PipeWireTaps::destroyProcessTap(AudioObjectID tap) {
    Impl& d = *impl_;
    return d.destroyOwned(tap, d.taps, [&d, tap](Impl::Tap& t) { d.releaseTap(tap, t, d.connected()); });
}

OSStatus PipeWireTaps::createAggregateDevice(const QVariantMap& description, AudioObjectID& device) {
    Impl& d = *impl_;
    Impl::Aggregate a;
    StreamConfiguration out;
    QStringList subDeviceUIDs;
    for (const QVariant& v : description.value("subdevices").toList()) {
        const QString uid = v.toMap().value("uid").toString();
        const AudioObjectID sub = d.model.deviceWithUID(uid);
        const auto streams = valueOf<StreamConfiguration>(d.model, sub, kStreamConfiguration, kScopeOutput);
        if (!sub || !streams || !streams->totalChannels()) return kStatusBadObject;
        a.subDevices.push_back(uid.toStdString());
        subDeviceUIDs << uid;
        out.channelsPerBuffer.push_back(streams->totalChannels());
    }
    const QVariantList taps = description.value("taps").toList();
    const QString clockUID = description.value("clock").toString();
    const AudioObjectID clock = d.model.deviceWithUID(clockUID);
    if (a.subDevices.empty() || taps.size() != 1 || !subDeviceUIDs.contains(clockUID)) return kStatusIllegalOperation;

    const double rate = valueOf<double>(d.model, clock, kNominalSampleRate).value_or(48000.0);
    const std::uint32_t frames = valueOf<std::uint32_t>(d.model, clock, kBufferFrameSize).value_or(1024);
    const ValueRange range = valueOf<ValueRange>(d.model, clock, kBufferFrameSizeRange).value_or(ValueRange{32, 2048});
    std::uint32_t tapChannels = 2;
    {
        Impl::Lock lock(d);
        if (!d.connected()) return kStatusUnspecified;
        const QString uuid = taps.front().toMap().value("uid").toString();
        for (const auto& [id, t] : d.taps)
            if (t.uuid == uuid) {
                a.tap = id;
                tapChannels = t.channels;
            }
        if (!a.tap) return kStatusBadObject;
    }
    StreamConfiguration in{{tapChannels}};  // the tap's mixdown, last and only input

    const AudioObjectID id = d.model.addPlainObject();
    d.own(id);
    auto put = [&](std::uint32_t selector, std::uint32_t scope, AudioObjectStore::Value v, bool settable = false) {
        d.model.setProperty(id, {selector, scope, kElementMain}, std::move(v), settable);
    };
    put(kDeviceUID, kScopeGlobal, description.value("uid").toString());
    put(kName, kScopeGlobal, description.value("name").toString());
    put(kTransportType, kScopeGlobal, kTransportAggregate);
    put(kNominalSampleRate, kScopeGlobal, rate);
    put(kBufferFrameSize, kScopeGlobal, frames, true);
    put(kBufferFrameSizeRange, kScopeGlobal, range);
    put(kDeviceIsAlive, kScopeGlobal, std::uint32_t(1));
    put(kFullSubDeviceList, kScopeGlobal, subDeviceUIDs);
    put(kStreamConfiguration, kScopeOutput, out);
    put(kStreamConfiguration, kScopeInput, in);
    put(kStreamFormat, kScopeOutput, StreamFormat::float32(rate, out.totalChannels()));
    put(kStreamFormat, kScopeInput, StreamFormat::float32(rate, in.totalChannels()));

    Impl::Lock lock(d);
    auto& stored = d.aggregates[id] = std::move(a);
    if (!d.makeFilter(stored, tapChannels, out.channelsPerBuffer, frames, rate)) {
        d.destroyAggregate(stored);
        d.aggregates.erase(id);
        d.forget(id);
        return kStatusUnspecified;
    }
    d.linkAll();
    device = id;
    return kStatusOK;
}

OSStatus PipeWireTaps::destroyAggregateDevice(AudioObjectID device) {
    Impl& d = *impl_;
    return d.destroyOwned(device, d.aggregates, [&d](Impl::Aggregate& a) { d.destroyAggregate(a); });
}

OSStatus PipeWireTaps::createIOProc(AudioObjectID device, IOBlock block, IOProcID& proc) {
    Impl& d = *impl_;
    if (!block) return kStatusIllegalOperation;
    Impl::Lock lock(d);
    auto it = d.aggregates.find(device);
    if (it == d.aggregates.end() || !it->second.render) return kStatusBadObject;
    for (auto& slot : it->second.render->procs) {
        if (slot.id != 0) continue;
        slot.block = std::move(block);
        slot.id = d.nextProc++;
        proc = slot.id;
        return kStatusOK;
    }
    return kStatusUnspecified;
}

OSStatus PipeWireTaps::destroyIOProc(AudioObjectID device, IOProcID proc) {
    if (const OSStatus status = impl_->stopSlot(device, proc); status != kStatusOK) return status;
    return impl_->withSlot(device, proc, [](Impl::Aggregate&, Render::Slot& slot) {
        slot.block = nullptr;
        slot.id = 0;
        return kStatusOK;
    });
}

OSStatus PipeWireTaps::startDevice(AudioObjectID device, IOProcID proc) {
    Impl& d = *impl_;
    return d.withSlot(device, proc, [&d](Impl::Aggregate& a, Render::Slot& slot) {
        if (a.dead || !d.connected()) return kStatusUnspecified;
        slot.running.store(true);
        return kStatusOK;
    });
}

OSStatus PipeWireTaps::stopDevice(AudioObjectID device, IOProcID proc) { return impl_->stopSlot(device, proc); }

}  // namespace quellor
