#include "remote/MIDISourceConnectionPolicy.h"

#include <set>

namespace quellor::MIDISourceConnectionPolicy {

Plan plan(const std::vector<SystemSource>& systemSources, const std::map<std::int32_t, std::uint32_t>& connected) {
    Plan result;
    std::set<std::int32_t> seen;
    for (const SystemSource& s : systemSources) {
        if (!seen.insert(s.uniqueID).second) continue;
        auto c = connected.find(s.uniqueID);
        if (c == connected.end()) {
            result.connect.push_back(s);
        } else if (c->second != s.ref) {
            result.disconnect.emplace_back(c->first, c->second);
            result.connect.push_back(s);
        }
    }
    for (const auto& [id, ref] : connected)  // std::map: ascending signed order
        if (!seen.count(id)) result.disconnect.emplace_back(id, ref);
    return result;
}

}  // namespace quellor::MIDISourceConnectionPolicy
