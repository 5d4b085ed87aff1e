#pragma once
// Where the streams of tapped processes play, decided without a server: which streams a tap sink
// takes, which "default" metadata writes put them back when the tap goes, and which links join a
// tap sink, a mix filter and its devices. The PipeWire taps feed these functions what their
// registry and metadata hold and carry out what they return.
//
// A stream's place is what the session manager reads from the metadata: "target.object" (an
// object.serial) before "target.node" (a registry id, written by the session manager itself when
// it restores a stored target). A tap writes "target.object" only, and remembers both keys as they
// were, so that letting go puts the stream, and what the session manager stores for it, back.
//
// Threads: plain values and functions.

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace quellor::routing {

struct Target {
    std::string type, value;
    friend bool operator==(const Target&, const Target&) = default;
};

// A stream's two target keys in the metadata; nothing for a key not set.
struct Targets {
    std::optional<Target> object, node;
    friend bool operator==(const Targets&, const Targets&) = default;
};

inline constexpr const char* kTargetObject = "target.object";
inline constexpr const char* kTargetNode = "target.node";

// One metadata write: `key` of `stream` (a registry id) set to `value`, or cleared.
struct Write {
    std::uint32_t stream = 0;
    const char* key = kTargetObject;
    std::optional<Target> value;
    friend bool operator==(const Write& a, const Write& b) {
        return a.stream == b.stream && std::string(a.key) == b.key && a.value == b.value;
    }
};

// A playback stream the registry knows: its registry id and the process it belongs to.
struct Stream {
    std::uint32_t id = 0;
    std::int32_t pid = 0;
};

// A stream a tap moved to its sink: its process and the targets it had before.
struct Moved {
    std::int32_t pid = 0;
    Targets before;
    friend bool operator==(const Moved&, const Moved&) = default;
};

// What one tap holds: its processes, its sink's object.serial (empty while the sink is not in the
// registry yet) and the streams it moved there, by registry id.
struct TapRoute {
    std::set<std::int32_t> pids;
    std::string sinkSerial;
    std::map<std::uint32_t, Moved> moved;
};

// The streams of the tap's processes that go to its sink now, with the targets they have now (to
// be kept in `moved`). Streams already moved are left alone; nothing moves while the sink is
// unknown.
std::map<std::uint32_t, Moved> streamsToMove(const TapRoute& tap, const std::vector<Stream>& streams,
                                             const std::map<std::uint32_t, Targets>& current);
Write moveWrite(const TapRoute& tap, std::uint32_t stream);

// The writes that let the tap's streams go: every stream still there plays where it played before
// the tap, unless someone aimed it elsewhere since (its "target.object" names neither the tap's sink
// nor nothing) or another tap still holds its process (`held`) and takes it over. "target.node" is
// written after "target.object" wherever either held one, so that what the session manager stores
// for the stream is what it stored before.
std::vector<Write> releaseWrites(const TapRoute& tap, const std::map<std::uint32_t, Targets>& current,
                                 const std::set<std::uint32_t>& present, const std::set<std::int32_t>& held);

// A port of the graph, as the registry reports it.
struct Port {
    std::uint32_t id = 0, node = 0;
    bool output = false, monitor = false;
    std::uint32_t index = 0;
    std::string name;
};

// The links that join a tap sink's monitor to the filter's inputs "in_<c>" and the filter's
// outputs "out_<s>_<c>" to the playback ports of each sub-device, as (output port, input port),
// for every pair whose two ports exist; `complete` tells whether that is all of them.
struct LinkPlan {
    std::vector<std::pair<std::uint32_t, std::uint32_t>> links;
    bool complete = false;
};
LinkPlan planLinks(const std::map<std::uint32_t, Port>& ports, std::optional<std::uint32_t> sink,
                   std::optional<std::uint32_t> filter, std::uint32_t tapChannels,
                   const std::vector<std::optional<std::uint32_t>>& devices, const std::vector<std::uint32_t>& deviceChannels);

// A link of the graph, by the nodes it joins.
struct Link {
    std::uint32_t output = 0, input = 0;
};

// Target writes, one move in flight per stream. A stream sent elsewhere while the session manager is
// still linking it where the last write said can be lost on the way (WirePlumber 0.4 gives up after
// a few refused links in a row): unlinked for good, its player waiting forever for a drain. So once
// a stream is sent to a tap sink, further writes for it wait until a link joins it to that sink,
// until it goes, or for a second at most; then they go in order (the last of each key only).
class WriteGate {
public:
    // The writes to send now for `w`: `w` itself, or nothing while its stream's move is in flight.
    // `toSink` is the registry id of the sink `w` sends the stream to, when it is such a move.
    std::vector<Write> submit(const Write& w, std::optional<std::uint32_t> toSink, std::uint64_t now);
    // The held writes whose stream's move has landed (per `links`) or whose second is up; with
    // `all`, every held write. Those of a stream that went (not in `present`) are dropped.
    std::vector<Write> due(const std::map<std::uint32_t, Link>& links, const std::set<std::uint32_t>& present,
                           std::uint64_t now, bool all);
    // `current` as it will be once the held writes have gone.
    void project(std::map<std::uint32_t, Targets>& current) const;
    bool idle() const { return flights_.empty(); }
    // Whether a stream is on its way to `sink`.
    bool inFlightTo(std::uint32_t sink) const;
    void clear() { flights_.clear(); }

    static constexpr std::uint64_t kLongestFlight = 1000000000;  // ns

private:
    struct Held {
        Write write;
        std::optional<std::uint32_t> toSink;
    };
    struct Flight {
        std::uint32_t sink = 0;
        std::uint64_t until = 0;
        std::vector<Held> held;
    };
    std::map<std::uint32_t, Flight> flights_;  // by stream
};

// Whether a released tap's sink can be removed: once no stream is on its way to it (`gate`) and no
// link feeds it (its streams have left), once `until` has passed, or with `all`.
bool sinkCanGo(std::uint32_t sink, std::uint64_t until, const WriteGate& gate,
               const std::map<std::uint32_t, Link>& links, std::uint64_t now, bool all);

}  // namespace quellor::routing
