#pragma once
// One connection to a PipeWire server, on a PipeWire thread loop of its own. It binds the audio
// sinks and sources, the streams of applications, their clients and the "default" and "settings"
// metadata, and reports what it sees as plain values through `Events`, called on the loop thread
// (the receiver hands them on to its own thread; nothing here touches Qt). Nodes are reported
// whole on every change, keyed by object.serial.
//
// Volume and mute are those of the node's Props, or, for a node that is a route of a sound card,
// those of the card's Route param, which the desktop's controls read and write for such nodes.
// Writes (volumes, mute, the configured default) go to the server at once and take effect when
// the server reports them back.
//
// Threads: connect(), the writes and destruction from any one non-loop thread; Events on the loop
// thread. Destruction stops the loop: no event runs once it has returned.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/PipeWireNode.h"

namespace quellor {

class PipeWireConnection {
public:
    struct Events {
        std::function<void(const PipeWireNode&)> nodeChanged;
        std::function<void(std::uint64_t serial)> nodeRemoved;
        // Node names of the default sink and source; empty when none.
        std::function<void(const std::string& sink, const std::string& source)> defaultsChanged;
        std::function<void(const PipeWireClock&)> clockChanged;
        // The server closed the connection or failed it; nothing more is reported.
        std::function<void()> lost;
    };

    // Nothing when no server answers at the runtime folder the environment names.
    static std::unique_ptr<PipeWireConnection> connect(Events events);
    ~PipeWireConnection();
    PipeWireConnection(const PipeWireConnection&) = delete;
    PipeWireConnection& operator=(const PipeWireConnection&) = delete;

    // Writes the volume and mute of the node (its Props, or its card's Route); false when the node
    // is gone.
    bool setNodeProps(std::uint64_t serial, std::optional<std::vector<float>> channelVolumes,
                      std::optional<bool> mute);
    // Writes "default.configured.audio.sink" (or ".source"): what the desktop's sound settings
    // write when the user picks a device. False without the metadata.
    bool setConfiguredDefault(bool sink, const std::string& nodeName);

    struct Impl;

private:
    explicit PipeWireConnection(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> impl_;
};

}  // namespace quellor
