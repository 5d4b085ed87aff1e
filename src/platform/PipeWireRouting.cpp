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

std::vector<Write> WriteGate::submit(const Write& w, std::optional<std::uint32_t> toSink, std::uint64_t now) {
    auto it = flights_.find(w.stream);
    if (it != flights_.end()) {
        // Only the newest write of a key matters once they go.
        auto& held = it->second.held;
        held.erase(std::remove_if(held.begin(), held.end(),
                                  [&](const Held& h) { return std::string(h.write.key) == w.key; }),
                   held.end());
        held.push_back({w, toSink});
        return {};
    }
    if (toSink) flights_[w.stream] = {*toSink, now + kLongestFlight, {}};
    return {w};
}

std::vector<Write> WriteGate::due(const std::map<std::uint32_t, Link>& links, const std::set<std::uint32_t>& present,
                                  std::uint64_t now, bool all) {
    std::vector<Write> out;
    for (auto it = flights_.begin(); it != flights_.end();) {
        const std::uint32_t stream = it->first;
        Flight& f = it->second;
        const bool landed = std::any_of(links.begin(), links.end(), [&](const auto& l) {
            return l.second.output == stream && l.second.input == f.sink;
        });
        if (!(all || landed || !present.count(stream) || now >= f.until)) {
            ++it;
            continue;
        }
        // The held writes go in order up to the next move, which starts a flight of its own; those
        // of a stream that went go nowhere (its registry id may come back for another stream).
        std::vector<Held> held = std::move(f.held);
        it = flights_.erase(it);
        if (!present.count(stream)) continue;
        for (std::size_t i = 0; i < held.size(); ++i) {
            out.push_back(held[i].write);
            if (held[i].toSink && !all) {
                Flight next{*held[i].toSink, now + kLongestFlight, {held.begin() + std::ptrdiff_t(i) + 1, held.end()}};
                it = std::next(flights_.emplace(stream, std::move(next)).first);
                break;
            }
        }
    }
    return out;
}

void WriteGate::project(std::map<std::uint32_t, Targets>& current) const {
    for (const auto& [stream, f] : flights_)
        for (const Held& h : f.held) {
            Targets& t = current[stream];
            (std::string(h.write.key) == kTargetNode ? t.node : t.object) = h.write.value;
        }
}

bool WriteGate::inFlightTo(std::uint32_t sink) const {
    return std::any_of(flights_.begin(), flights_.end(), [&](const auto& f) { return f.second.sink == sink; });
}

bool sinkCanGo(std::uint32_t sink, std::uint64_t until, const WriteGate& gate,
               const std::map<std::uint32_t, Link>& links, std::uint64_t now, bool all) {
    if (all || now >= until || sink == 0) return true;
    return !gate.inFlightTo(sink) && std::none_of(links.begin(), links.end(), [&](const auto& l) { return l.second.input == sink; });
}

}  // namespace quellor::routing
