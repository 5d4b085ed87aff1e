#pragma once
// A client's connection to the PipeWire server the environment names, on a thread loop of its own:
// the loop, its context, the core and the registry, with one listener on the core and one on the
// registry. The owner keeps its own state and proxies and hands its handlers to open().
//
// The context loads "client-rt.conf", as PipeWire's own players do: its realtime module gives the
// context's data thread (where filters marked for realtime processing run) a realtime policy, from
// RLIMIT_RTPRIO or the privilege to set one, or else through RTKit. Where the system refuses it,
// the thread runs as an ordinary one and that is logged once for the program.
//
// Threads: open() and close() from one non-loop thread; the events run on the loop thread.

#include <pipewire/pipewire.h>

#include <cstdint>
#include <functional>

namespace quellor {

struct PipeWireLoop {
    pw_thread_loop* loop = nullptr;
    pw_context* context = nullptr;
    pw_core* core = nullptr;
    pw_registry* registry = nullptr;
    spa_hook coreListener{}, registryListener{};
    pw_core_events coreEvents{};
    pw_registry_events registryEvents{};

    // The owner's handlers, each called with the `data` given to open().
    struct Handlers {
        void (*done)(void* data, std::uint32_t id, int seq);
        void (*error)(void* data, std::uint32_t id, int seq, int res, const char* message);
        void (*global)(void* data, std::uint32_t id, std::uint32_t permissions, const char* type,
                       std::uint32_t version, const spa_dict* props);
        void (*globalRemove)(void* data, std::uint32_t id);
    };

    PipeWireLoop() = default;
    PipeWireLoop(const PipeWireLoop&) = delete;
    PipeWireLoop& operator=(const PipeWireLoop&) = delete;
    ~PipeWireLoop() { close(); }

    // Connects, listens with `data` and starts the loop; `started` then runs with the loop's lock
    // held, before anything the main thread sends next. False when any step fails: what was made
    // stays for close().
    bool open(const char* threadName, const Handlers& handlers, void* data,
              const std::function<void()>& started = {});

    // Stops listening to the core and the registry: no handler runs from then on. Loop lock held
    // (or the loop stopped).
    void stopListening();

    // Whether the context's data thread runs with a realtime policy (SCHED_FIFO or SCHED_RR).
    bool dataThreadRealtime() const;

    // Stops the loop (nothing runs on it from then on), then removes the listeners and lets go of
    // the registry, the core, the context and the loop. The owner lets go of its own proxies
    // before, under the loop's lock, or after the stop and before this. Safe to call again.
    void close();
};

}  // namespace quellor
