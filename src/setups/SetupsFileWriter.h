#pragma once
// Writes setups files on a worker thread of its own, so that encoding and writing tens of
// megabytes never holds up the main thread (the interface, the companion's messages).
//
// Contents are handed over whole (a snapshot taken on the main thread) and written one at a time.
// A content handed over while an older one still waits replaces it: the newest content is always
// the last written, and a late older write can never overwrite it. Each write ends with an
// outcome, collected by the owner in the order the writes ran; after each write `onWritten` runs
// on the worker thread (the owner posts from there to the main thread).
//
// Threads: write(), waitUntilIdle() and takeOutcomes() from the owner's thread. The destructor
// writes what still waits, then joins the worker.

#include <QString>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "setups/MixSessionFile.h"

namespace quellor {

class SetupsFileWriter {
public:
    struct Outcome {
        std::uint64_t generation = 0;  // which handed-over content was written
        bool ok = false;
        QString error;  // why not, when !ok
    };

    // How one content is written: true when it is on disk, otherwise `error` says why.
    using Save = std::function<bool(const MixSessionFile& file, QString* error)>;

    SetupsFileWriter(Save save, std::function<void()> onWritten);
    ~SetupsFileWriter();
    SetupsFileWriter(const SetupsFileWriter&) = delete;
    SetupsFileWriter& operator=(const SetupsFileWriter&) = delete;

    // Hands over a content to write; returns its generation (1, 2, ...).
    std::uint64_t write(MixSessionFile file);
    // Waits until no content waits and none is being written.
    void waitUntilIdle();
    // True while a content waits or is being written.
    bool busy() const;
    // The outcomes of the writes finished since the last call, oldest first.
    std::vector<Outcome> takeOutcomes();

private:
    void run();

    const Save save_;
    const std::function<void()> onWritten_;
    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable idle_;
    std::optional<MixSessionFile> waiting_;
    std::uint64_t waitingGeneration_ = 0;
    std::uint64_t lastGeneration_ = 0;
    bool writing_ = false;
    bool stopping_ = false;
    std::vector<Outcome> outcomes_;
    std::thread worker_;  // last: starts once everything above is ready
};

}  // namespace quellor
