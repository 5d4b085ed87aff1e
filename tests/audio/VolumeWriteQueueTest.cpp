#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>

#include "TestEnvironment.h"
#include "audio/VolumeWriteQueue.h"

namespace quellor {
namespace {

using namespace std::chrono_literals;

// A writer that records what it applies and can hold the queue's thread inside a write until the
// test lets it go.
class GatedWriter {
public:
    struct Applied {
        VolumeEndpoint endpoint;
        float volume;
        std::optional<bool> mute;
        bool operator==(const Applied&) const = default;
    };

    VolumeWriteQueue::Writer writer() {
        return [this](const VolumeEndpoint& e, float v, std::optional<bool> m) {
            std::unique_lock lock(mutex);
            applied.push_back({e, v, m});
            inWrite = true;
            changed.notify_all();
            changed.wait(lock, [this] { return !holding; });
            inWrite = false;
            return v >= 0.0f;  // a negative volume stands for a failing device
        };
    }
    void hold() {
        std::lock_guard lock(mutex);
        holding = true;
    }
    void release() {
        std::lock_guard lock(mutex);
        holding = false;
        changed.notify_all();
    }
    bool waitUntilWriting() {
        std::unique_lock lock(mutex);
        return changed.wait_for(lock, 5s, [this] { return inWrite; });
    }
    std::vector<Applied> appliedWrites() {
        std::lock_guard lock(mutex);
        return applied;
    }

    std::mutex mutex;
    std::condition_variable changed;
    std::vector<Applied> applied;
    bool holding = false;
    bool inWrite = false;
};

class VolumeWriteQueueTest : public test::QuellorTest {
protected:
    const VolumeEndpoint speakers{7, 0x6f757470};  // 'outp'
    const VolumeEndpoint interface{9, 0x6f757470};
    GatedWriter gate;
    std::vector<std::pair<int, bool>> completions;
    VolumeWriteQueue::Completion report(int tag) {
        return [this, tag](bool ok) { completions.emplace_back(tag, ok); };
    }
};

TEST_F(VolumeWriteQueueTest, NewestWriteWinsPerEndpointAndEachAppliedWriteReportsItself) {
    VolumeWriteQueue queue(gate.writer());
    gate.hold();
    queue.enqueue(speakers, 0.1f, std::nullopt, report(1));
    ASSERT_TRUE(gate.waitUntilWriting());
    queue.enqueue(speakers, 0.2f, true, report(2));
    queue.enqueue(interface, 0.5f, std::nullopt, report(3));
    queue.enqueue(speakers, 0.3f, false, report(4));  // replaces 2, not 3
    gate.release();
    ASSERT_TRUE(queue.waitUntilIdle(5s));

    using A = GatedWriter::Applied;
    EXPECT_EQ(gate.appliedWrites(), (std::vector<A>{{speakers, 0.1f, std::nullopt},
                                                     {speakers, 0.3f, false},
                                                     {interface, 0.5f, std::nullopt}}));
    EXPECT_TRUE(completions.empty());  // they arrive on the main thread
    scheduler().runPending();
    EXPECT_EQ(completions, (std::vector<std::pair<int, bool>>{{1, true}, {4, true}, {3, true}}));
}

TEST_F(VolumeWriteQueueTest, ReportsFailuresAndKeepsWorkingAfterThem) {
    VolumeWriteQueue queue(gate.writer());
    queue.enqueue(speakers, -1.0f, std::nullopt, report(1));
    ASSERT_TRUE(queue.waitUntilIdle(5s));
    queue.enqueue(speakers, 0.4f, std::nullopt, report(2));
    ASSERT_TRUE(queue.waitUntilIdle(5s));
    scheduler().runPending();
    EXPECT_EQ(completions, (std::vector<std::pair<int, bool>>{{1, false}, {2, true}}));
}

TEST_F(VolumeWriteQueueTest, StopFinishesTheWriteInProgressAndDropsTheWaitingOnes) {
    auto queue = std::make_unique<VolumeWriteQueue>(gate.writer());
    gate.hold();
    queue->enqueue(speakers, 0.1f, std::nullopt, report(1));
    ASSERT_TRUE(gate.waitUntilWriting());
    queue->enqueue(interface, 0.2f, std::nullopt, report(2));

    std::atomic<bool> stopped = false;
    std::thread stopper([&] {
        queue->stop();
        stopped = true;
    });
    // The queue's thread is held inside the first write, so only stop() can empty the slot.
    auto deadline = std::chrono::steady_clock::now() + 5s;
    while (queue->pendingCount() != 0 && std::chrono::steady_clock::now() < deadline) std::this_thread::yield();
    EXPECT_FALSE(stopped);  // it waits for the write in progress
    gate.release();
    stopper.join();
    EXPECT_TRUE(stopped);
    queue->enqueue(speakers, 0.9f, std::nullopt, report(3));  // after stop: ignored
    queue.reset();
    EXPECT_EQ(gate.appliedWrites().size(), 1u);
    scheduler().runPending();
    EXPECT_EQ(completions, (std::vector<std::pair<int, bool>>{{1, true}}));
}

}  // namespace
}  // namespace quellor
