#pragma once
// The params through which the desktop's volume controls read and write a node's volume and
// mute: the node's own Props, and, for a node that stands for one route of a sound card (an ALSA
// sink or source), the Route param of the card's device, which carries the same Props for that
// route. Built and read here as bytes, so that no other file needs PipeWire's headers for them.
//
// Threads: pure functions.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace quellor {

// What a Props object says of volume; absent members were not in it.
struct PipeWireVolumes {
    std::optional<std::vector<float>> channelVolumes;
    std::optional<bool> mute;
    std::uint32_t mapChannels = 0;  // entries of the channel map, 0 when absent
};

// One route of a card device: which profile device it serves, what kind of port it is, and its Props.
struct PipeWireRoute {
    std::int32_t index = -1;
    std::int32_t device = -1;  // the card's profile device the route serves ("card.profile.device")
    bool output = true;
    std::string name;      // "analog-output-headphones"
    std::string portType;  // "port.type" of its info: "speaker", "headphones", "hdmi", "mic", ...
    PipeWireVolumes volumes;
};

// The latency a port reports for one way through the graph: playback (from the start of a cycle to
// the sound leaving the physical output) or capture (from the sound entering to the cycle).
struct PipeWireLatency {
    bool playback = true;
    float quantum = 0;     // in cycles
    std::int32_t rate = 0; // in frames
    std::int64_t ns = 0;
    bool operator==(const PipeWireLatency&) const = default;
};

// The latency in frames at `rate` Hz with cycles of `quantum` frames.
std::uint32_t latencyFrames(const PipeWireLatency& latency, std::uint32_t quantum, std::uint32_t rate);

// A Props param with the given members; the bytes of a whole pod.
std::vector<std::uint8_t> propsParam(const std::optional<std::vector<float>>& channelVolumes,
                                     std::optional<bool> mute);
// A Route param that sets the Props of route `index` for profile device `device`, to be kept by the
// session manager as the user's choice (as the desktop's own controls do).
std::vector<std::uint8_t> routeParam(std::int32_t index, std::int32_t device,
                                     const std::optional<std::vector<float>>& channelVolumes,
                                     std::optional<bool> mute);

// Nothing when the pod is not of that kind.
std::optional<PipeWireVolumes> readPropsParam(const void* pod, std::size_t size);
std::optional<PipeWireRoute> readRouteParam(const void* pod, std::size_t size);
std::optional<PipeWireLatency> readLatencyParam(const void* pod, std::size_t size);

}  // namespace quellor
