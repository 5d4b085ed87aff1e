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
// It is the program's one connection: one thread loop, one context, one core and one registry. The
// taps (PipeWireTaps.h) ride on it as its guest: they hear every registry global and removal after
// the connection has handled them, every answered core sync, the "default" metadata's properties,
// every report of a stream and the loss of the connection, and make their own objects on its core.
//
// Threads: connect(), the writes and destruction from any one non-loop thread; Events and the
// guest's events on the loop thread. The guest's calls into the connection are made with the
// loop's lock held. Destruction stops the loop: no event runs once it has returned.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/PipeWireNode.h"

struct spa_dict;

namespace quellor {

struct PipeWireLoop;

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

    // A part of the program that works on this connection. Every call comes on the loop thread with
    // the loop's lock held, and none once the guest is dropped (dropGuest()).
    class Guest {
    public:
        // The connection is open: nothing has been heard from the server yet.
        virtual void attached(PipeWireConnection& connection) = 0;
        virtual void global(std::uint32_t id, const char* type, const spa_dict* props) = 0;
        virtual void globalRemove(std::uint32_t id) = 0;
        // The server has answered the core sync `seq` (pw_core_sync on PW_ID_CORE).
        virtual void done(int seq) = 0;
        // A property of the "default" metadata, as pw_metadata_events.property has it.
        virtual void defaultMetadata(std::uint32_t subject, const char* key, const char* type, const char* value) = 0;
        // A stream node (by registry id) was reported: its process may be known now or have changed.
        virtual void streamChanged(std::uint32_t id) = 0;
        // The server closed the connection or failed it; nothing more comes.
        virtual void connectionLost() = 0;

    protected:
        ~Guest() = default;
    };

    // Nothing when no server answers at the runtime folder the environment names. A guest, when
    // given, is attached before anything is heard from the server.
    static std::unique_ptr<PipeWireConnection> connect(Events events, Guest* guest = nullptr);
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

    // For the guest, loop lock held:
    // The loop, its context and core, for objects of the guest's own.
    PipeWireLoop& loop();
    // Sets (or with no value clears) a property of the "default" metadata; false without it.
    bool setDefaultMetadata(std::uint32_t subject, const char* key, const char* type, const char* value);
    // The process behind a stream node (by registry id), by the rules of streamProcessID() from what
    // is known of the node and its client so far; 0 when unknown.
    std::int32_t processOfStream(std::uint32_t id) const;
    // Nothing reaches the guest from here on.
    void dropGuest();

    struct Impl;

private:
    explicit PipeWireConnection(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> impl_;
};

}  // namespace quellor
