#pragma once
// Decides which MIDI sources to connect, reconnect or drop when the MIDI setup changes.
// Pure functions; any thread.

#include <cstdint>
#include <map>
#include <utility>
#include <vector>

namespace quellor {

namespace MIDISourceConnectionPolicy {

// One source the system lists now.
struct SystemSource {
    std::int32_t uniqueID = 0;
    std::uint32_t ref = 0;  // the endpoint reference
    bool operator==(const SystemSource&) const = default;
};

struct Plan {
    std::vector<SystemSource> connect;
    std::vector<std::pair<std::int32_t, std::uint32_t>> disconnect;  // (unique id, old reference)
};

// `connected`: unique id -> reference of the sources connected now. Of several sources with one
// id the first listed wins; a source listed under a known id with a new reference is disconnected
// and connected again; vanished sources follow in ascending id order. Every disconnect is to be
// carried out before any connect.
Plan plan(const std::vector<SystemSource>& systemSources, const std::map<std::int32_t, std::uint32_t>& connected);

}  // namespace MIDISourceConnectionPolicy

}  // namespace quellor
