#pragma once
// What the PipeWire connection reports of the graph, as plain values: the audio nodes Quellor shows
// (sinks, sources and the streams of applications), the clock settings and the defaults. These
// records carry std::string rather than Qt types because they are made on PipeWire's own thread;
// the main thread turns them into audio objects.
//
// Also the pure rules that map PipeWire's view onto ours (volume scale, process ids, transport).
//
// Threads: plain values and pure functions.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/PipeWireParams.h"

namespace quellor {

struct PipeWireNode {
    enum class Kind { Sink, Source, PlaybackStream, RecordingStream };

    std::uint64_t serial = 0;  // object.serial: ids are reused by PipeWire, serials are not
    Kind kind = Kind::Sink;
    std::string name;          // node.name
    std::string description;   // node.description (falls back to node.nick, then node.name)
    std::string api;           // device.api ("alsa", "bluez5", ...; empty for virtual nodes)
    std::string bus;           // device.bus ("usb", "pci", ...), the node's own or else its card's
    // What the card behind the node says of itself, and of the route (port) the node plays to or
    // records from; empty where there is no card or no active route.
    std::string formFactor;    // the card's device.form-factor ("internal", "headset", ...)
    std::string iconName;      // the card's device.icon-name ("audio-card-analog-pci", ...)
    std::string profileName;   // device.profile.name: the card profile's device the node is
    std::string portType;      // the route's "port.type" ("speaker", "headphones", "hdmi", "mic", ...)
    std::string portName;      // the route's name ("analog-output-speaker", "analog-input-internal-mic", ...)
    std::uint32_t channels = 0;
    std::uint32_t rate = 0;    // audio.rate of the node; 0 when it follows the graph
    bool running = false;      // node state "running"
    std::int32_t pid = 0;      // streams: the process that plays or records; 0 when unknown
    // Linear channel volumes and mute of the node's Props; absent when the node has none.
    std::vector<float> channelVolumes;
    std::optional<bool> mute;
    bool writable = true;  // the server lets this client set the node's params
    PipeWireLatency latency;  // devices: what their ports report for the way the sound goes

    bool isDevice() const { return kind == Kind::Sink || kind == Kind::Source; }
    bool operator==(const PipeWireNode&) const = default;
};

// The graph clock as the "settings" metadata states it (forced values win).
struct PipeWireClock {
    std::uint32_t rate = 48000;
    std::uint32_t quantum = 1024;
    std::uint32_t minQuantum = 32;
    std::uint32_t maxQuantum = 2048;
    bool operator==(const PipeWireClock&) const = default;
};

// The desktop's volume controls show the cube root of the linear channel volume, and so do we: the
// loudest channel stands for the node.
float cubicVolume(const std::vector<float>& channelVolumes);
// The channel volumes that show `level` (0...1, cubic) while keeping the balance between channels;
// equal channels at `level` when all were silent.
std::vector<float> channelVolumesFor(const std::vector<float>& current, float level);

// The process behind a stream. A client's pipewire.sec.pid is what the kernel says of the socket's
// peer, so it is the answer for a client that connected by itself, sandboxed or not (a sandboxed
// one names its own namespace's pid in application.process.id, which means nothing here). A client
// that the PulseAudio server made for one of its applications has the server's pid there; the
// server names the application's pid, which it had from its own socket, in application.process.id,
// and that counts. Without a client pid the node's own application.process.id is taken. 0 when
// nothing names a process.
std::int32_t streamProcessID(std::int32_t clientSecPid, std::int32_t clientAppPid, bool clientOfPulseServer,
                             std::int32_t nodeAppPid);

// Our transport code (hal::kTransportType) for a device node, from what the node and its card say:
// - Bluetooth for the bluez5 API or the Bluetooth bus;
// - virtual for a node of no device API (null sinks, filters, loopbacks);
// - HDMI for a card route of the "hdmi" port type or an "hdmi-" profile (ALSA cannot tell
//   DisplayPort from HDMI: both are "hdmi" ports, and both show a display);
// - USB or FireWire by the bus (the card's icon name carries the bus where the card names none),
//   unless the card calls itself internal (a laptop's own USB audio);
// - built in otherwise (PCI and the SoC buses of the machine's own sound).
std::uint32_t transportFor(const PipeWireNode& node);

// Our data source (hal::kDataSource) for the scope of a device node, from its card's active route: the
// speakers, the headphone jack, a line jack, the internal or an external microphone. 0 when the
// node has no route or one of another kind.
std::uint32_t dataSourceFor(const PipeWireNode& node);

}  // namespace quellor
