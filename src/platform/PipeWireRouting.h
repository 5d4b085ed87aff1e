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

}  // namespace quellor::routing
