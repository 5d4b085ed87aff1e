#include "platform/PipeWireRouting.h"

#include <algorithm>

namespace quellor::routing {

std::map<std::uint32_t, Moved> streamsToMove(const TapRoute& tap, const std::vector<Stream>& streams,
                                             const std::map<std::uint32_t, Targets>& current) {
    std::map<std::uint32_t, Moved> moves;
    if (tap.sinkSerial.empty()) return moves;
    for (const Stream& s : streams) {
        if (!tap.pids.count(s.pid) || tap.moved.count(s.id)) continue;
        auto it = current.find(s.id);
        moves[s.id] = Moved{s.pid, it == current.end() ? Targets{} : it->second};
    }
    return moves;
}

Write moveWrite(const TapRoute& tap, std::uint32_t stream) {
    return {stream, kTargetObject, Target{"Spa:Id", tap.sinkSerial}};
}

std::vector<Write> releaseWrites(const TapRoute& tap, const std::map<std::uint32_t, Targets>& current,
                                 const std::set<std::uint32_t>& present, const std::set<std::int32_t>& held) {
    std::vector<Write> writes;
    for (const auto& [id, moved] : tap.moved) {
        if (!present.count(id) || held.count(moved.pid)) continue;
        const Targets& before = moved.before;
        auto it = current.find(id);
        const Targets now = it == current.end() ? Targets{} : it->second;
        // Our own write may not have come back yet: a stream with no target is still ours.
        if (now.object && now.object->value != tap.sinkSerial) continue;
        writes.push_back({id, kTargetObject, before.object});
        // The session manager stores a stream's target on each write of either key, the last one
        // winning: a target it restored by id is written again after the object is cleared.
        if (before.node || now.node) writes.push_back({id, kTargetNode, before.node});
    }
    return writes;
}

LinkPlan planLinks(const std::map<std::uint32_t, Port>& ports, std::optional<std::uint32_t> sink,
                   std::optional<std::uint32_t> filter, std::uint32_t tapChannels,
                   const std::vector<std::optional<std::uint32_t>>& devices, const std::vector<std::uint32_t>& deviceChannels) {
    LinkPlan plan;
    std::size_t wanted = tapChannels;
    // Port `n` of `node` in one direction, monitor ports or not, in the order of their indexes.
    auto portAt = [&](std::optional<std::uint32_t> node, bool output, bool monitor, std::size_t n) -> std::optional<std::uint32_t> {
        if (!node) return std::nullopt;
        std::vector<std::pair<std::uint32_t, std::uint32_t>> found;  // (index, id)
        for (const auto& [id, p] : ports)
            if (p.node == *node && p.output == output && p.monitor == monitor) found.emplace_back(p.index, id);
        std::sort(found.begin(), found.end());
        if (n >= found.size()) return std::nullopt;
        return found[n].second;
    };
    auto portNamed = [&](std::optional<std::uint32_t> node, const std::string& name) -> std::optional<std::uint32_t> {
        if (!node) return std::nullopt;
        for (const auto& [id, p] : ports)
            if (p.node == *node && p.name == name) return id;
        return std::nullopt;
    };
    auto add = [&](std::optional<std::uint32_t> from, std::optional<std::uint32_t> to) {
        if (from && to) plan.links.emplace_back(*from, *to);
    };
    for (std::uint32_t c = 0; c < tapChannels; ++c)
        add(portAt(sink, true, true, c), portNamed(filter, "in_" + std::to_string(c + 1)));
    for (std::size_t s = 0; s < devices.size() && s < deviceChannels.size(); ++s) {
        wanted += deviceChannels[s];
        for (std::uint32_t c = 0; c < deviceChannels[s]; ++c)
            add(portNamed(filter, "out_" + std::to_string(s + 1) + "_" + std::to_string(c + 1)),
                portAt(devices[s], false, false, c));
    }
    plan.complete = plan.links.size() == wanted;
    return plan;
}

}  // namespace quellor::routing
