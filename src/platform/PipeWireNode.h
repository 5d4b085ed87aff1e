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
    std::string bus;           // device.bus ("usb", "pci", ...)
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

// Our transport code for a device node of `api` on `bus`.
std::uint32_t transportFor(const std::string& api, const std::string& bus);

}  // namespace quellor
