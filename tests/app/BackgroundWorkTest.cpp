// The end of background work at quit: jobs and writes that report back through the scheduler are
// over before it and the services they use are destroyed.
#include <QThreadPool>
#include <atomic>
#include <mutex>

#include "Gate.h"
#include "TestEnvironment.h"
#include "app/BackgroundWork.h"
#include "audio/BluetoothAudioMonitor.h"
#include "audio/VolumeWriteQueue.h"
#include "platform/AudioConstants.h"
#include "platform/BluetoothDevices.h"

namespace quellor {
namespace {

// Paired devices whose listing is still running when the program quits.
class SlowBluetooth : public BluetoothDevices {
public:
    std::optional<std::vector<PairedBluetoothDevice>> pairedDevices() override {
        gate.enterAndWait();
        return std::vector<PairedBluetoothDevice>{{QStringLiteral("a1"), kAudioMajorClass, 6, QStringLiteral("A"), false}};
    }
    std::int32_t openConnection(const QString&) override { return kSuccess; }
    std::int32_t closeConnection(const QString&) override { return kSuccess; }

    test::Gate gate;
};

class BackgroundWorkTest : public test::QuellorTest {};

// Each piece alone, so that neither hides how long the other takes.
TEST_F(BackgroundWorkTest, AJobStillRunningOnThePoolHasPostedItsResultWhenQuitGoesOn) {
    QThreadPool pool;
    SlowBluetooth bluetooth;
    BluetoothAudioMonitor monitor(bluetooth, [&pool](std::function<void()> job) { pool.start(std::move(job)); });
    monitor.refresh();
    ASSERT_TRUE(bluetooth.gate.waitUntilEntered());
    bluetooth.gate.release();  // the listing is still on its way back

    finishBackgroundWork(pool, {});
    const std::size_t posted = scheduler().pendingCount();
    EXPECT_EQ(pool.activeThreadCount(), 0);
    EXPECT_EQ(posted, 1u);  // and nothing of it is left to post later: the scheduler may go now
    scheduler().runPending();
    ASSERT_EQ(monitor.paired().size(), 1u);
    EXPECT_EQ(monitor.paired().front().id, QStringLiteral("a1"));
}

TEST_F(BackgroundWorkTest, AWriteInProgressEndsAndTheWritesWaitingBehindItAreDroppedBeforeQuitGoesOn) {
    QThreadPool pool;
    // The write in progress ends only once quit has dropped the one waiting behind it (or, should
    // quit not stop the queue, once the test gives up on that after quit has returned).
    std::atomic<bool> secondWaits{false};
    std::atomic<bool> gaveUp{false};
    std::vector<std::uint32_t> written;
    std::mutex writtenMutex;
    test::Gate writing;
    VolumeWriteQueue* queuePointer = nullptr;
    VolumeWriteQueue queue([&](const VolumeEndpoint& endpoint, float, std::optional<bool>) {
        if (endpoint.deviceID == 1) {
            writing.enterAndWaitUntil(
                [&] { return (secondWaits.load() && queuePointer->pendingCount() == 0) || gaveUp.load(); });
        }
        std::lock_guard lock(writtenMutex);
        written.push_back(endpoint.deviceID);
        return true;
    });
    queuePointer = &queue;
    std::vector<bool> completions;
    queue.enqueue({1, hal::kScopeOutput}, 0.5f, std::nullopt, [&](bool ok) { completions.push_back(ok); });
    ASSERT_TRUE(writing.waitUntilEntered());
    queue.enqueue({2, hal::kScopeOutput}, 0.5f, std::nullopt, [&](bool ok) { completions.push_back(ok); });
    secondWaits = true;

    finishBackgroundWork(pool, {&queue});
    const std::size_t posted = scheduler().pendingCount();
    std::vector<std::uint32_t> writtenByQuit;
    {
        std::lock_guard lock(writtenMutex);
        writtenByQuit = written;
    }
    gaveUp = true;

    EXPECT_EQ(writtenByQuit, std::vector<std::uint32_t>{1});
    EXPECT_EQ(posted, 1u);  // the completion of the write that was made, and nothing left to post
    scheduler().runPending();
    EXPECT_EQ(completions, std::vector<bool>{true});
    queue.enqueue({3, hal::kScopeOutput}, 0.5f, std::nullopt, [](bool) {});
    EXPECT_EQ(queue.pendingCount(), 0u);
}

}  // namespace
}  // namespace quellor
