#pragma once
// Admitted OSC messages on their way from the listener thread to the main thread. The inbox is
// bounded, so a sender that outpaces the main thread costs bounded memory and bounded main-thread
// work:
// - a level (a message whose latest value stands for every earlier one, such as a fader) replaces
//   the value of the same address still waiting, in that message's place;
// - every other message (toggles, buttons, slot assignments) waits in arrival order;
// - a message that finds the inbox full is dropped, and the caller counts it.
// Only the first message after a take asks for a wake-up, so at most one hop to the main thread is
// pending at any time.
//
// Threads: push() from the listener thread, take() from the main thread. Each holds the lock for a
// few steps of its own only, so the listener never waits for work on the main thread.

#include <QHash>
#include <QString>
#include <mutex>
#include <vector>

#include "platform/NetworkEndpoint.h"
#include "remote/OSCMessage.h"

namespace quellor {

class OSCInbox {
public:
    static constexpr std::size_t kCapacity = 256;         // messages waiting
    static constexpr qsizetype kAddressBudget = 1 << 16;  // characters of their addresses

    struct Entry {
        OSCMessage message;
        NetworkEndpoint sender;
    };
    enum class Outcome { Queued, Replaced, Dropped };
    struct Pushed {
        Outcome outcome;
        bool wake;  // the inbox was taken since the last wake-up: post one take to the main thread
    };

    // A level replaces the waiting message of its address (value and sender).
    Pushed push(OSCMessage message, const NetworkEndpoint& sender, bool level);
    // Every waiting message, in arrival order; the inbox is empty afterwards.
    std::vector<Entry> take();
    std::size_t size() const;

private:
    mutable std::mutex lock_;
    std::vector<Entry> entries_;
    QHash<QString, std::size_t> levels_;  // address -> its entry, for the levels waiting
    qsizetype addressLength_ = 0;
    bool wakePending_ = false;
};

}  // namespace quellor
