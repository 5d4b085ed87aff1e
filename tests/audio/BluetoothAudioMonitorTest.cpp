#include <QSignalSpy>
#include <deque>

#include "TestEnvironment.h"
#include "audio/BluetoothAudioMonitor.h"
#include "platform/SimulatedBluetooth.h"

namespace quellor {
namespace {

// Background jobs wait here until the test runs them, in any order it likes.
struct ManualRunner {
    std::deque<std::function<void()>> jobs;
    BluetoothAudioMonitor::BackgroundRunner runner() {
        return [this](std::function<void()> job) { jobs.push_back(std::move(job)); };
    }
    void runAt(size_t index) {
        auto job = std::move(jobs.at(index));
        jobs.erase(jobs.begin() + static_cast<long>(index));
        job();
    }
    void runAll() {
        while (!jobs.empty()) runAt(0);
    }
};

class BluetoothAudioMonitorTest : public test::QuellorTest {
protected:
    BluetoothAudioMonitorTest() {
        bluetooth.pair({QStringLiteral("b1"), 4, 1, QStringLiteral("Beta"), false});
        bluetooth.pair({QStringLiteral("k1"), 5, 1, QStringLiteral("Keyboard"), true});  // not audio
        bluetooth.pair({QStringLiteral("a2"), 4, 6, QStringLiteral("alpha 2"), false});
        bluetooth.pair({std::nullopt, 4, 6, QStringLiteral("No address"), false});
        bluetooth.pair({QStringLiteral("a1"), 4, 6, QStringLiteral("Alpha"), true});
        bluetooth.pair({QStringLiteral("n1"), 4, 2, std::nullopt, false});
    }
    // Runs background work and delivers its results until nothing is left.
    void settle() {
        for (int i = 0; i < 10 && !background.jobs.empty(); ++i) {
            background.runAll();
            scheduler().runPending();
        }
    }
    QStringList names() const {
        QStringList result;
        for (const auto& d : monitor.paired()) result.append(d.name);
        return result;
    }

    SimulatedBluetooth bluetooth;
    ManualRunner background;
    BluetoothAudioMonitor monitor{bluetooth, background.runner()};
};

TEST_F(BluetoothAudioMonitorTest, ListsPairedAudioDevicesByName) {
    monitor.refresh();
    EXPECT_TRUE(monitor.paired().empty());  // the listing runs off the main thread
    settle();
    EXPECT_EQ(names(), (QStringList{QStringLiteral("Alpha"), QStringLiteral("alpha 2"), QStringLiteral("Beta"),
                                    QStringLiteral("n1")}));
    EXPECT_EQ(monitor.paired().front(), (BluetoothAudioDevice{QStringLiteral("a1"), QStringLiteral("Alpha"), true, 6}));
    EXPECT_TRUE(logs.contains(QStringLiteral("BluetoothAudioMonitor"), LogLevel::Debug,
                              QStringLiteral("Paired n1: minor class 2")));

    QSignalSpy changes(&monitor, &BluetoothAudioMonitor::pairedChanged);
    monitor.refresh();
    settle();
    EXPECT_EQ(changes.count(), 0);  // the same list notifies nobody

    bluetooth.setPairedListAvailable(false);
    monitor.refresh();
    settle();
    EXPECT_TRUE(monitor.paired().empty());
}

TEST_F(BluetoothAudioMonitorTest, OnlyTheNewestRefreshIsShown) {
    monitor.refresh();
    bluetooth.unpair(QStringLiteral("b1"));
    monitor.refresh();
    background.runAt(1);  // the second listing finishes first...
    scheduler().runPending();
    background.runAt(0);  // ...and the stale first one after it
    scheduler().runPending();
    EXPECT_FALSE(names().contains(QStringLiteral("Beta")));
    EXPECT_EQ(monitor.paired().size(), 3u);
}

TEST_F(BluetoothAudioMonitorTest, ConnectMarksBusyRefusesASecondAndReportsSuccess) {
    BluetoothAudioDevice beta{QStringLiteral("b1"), QStringLiteral("Beta"), false, 1};
    std::vector<QString> connected;
    monitor.connect(beta, [&](const BluetoothAudioDevice& d) { connected.push_back(d.id); });
    EXPECT_TRUE(monitor.busy().contains(QStringLiteral("b1")));
    monitor.connect(beta, [&](const BluetoothAudioDevice&) { connected.push_back(QStringLiteral("second")); });
    EXPECT_EQ(background.jobs.size(), 1u);
    settle();

    EXPECT_EQ(connected, std::vector<QString>{QStringLiteral("b1")});
    EXPECT_EQ(bluetooth.openCount(QStringLiteral("b1")), 1);
    EXPECT_TRUE(monitor.busy().isEmpty());
    auto it = std::find_if(monitor.paired().begin(), monitor.paired().end(), [](auto& d) { return d.id == "b1"; });
    ASSERT_NE(it, monitor.paired().end());
    EXPECT_TRUE(it->isConnected);  // the list was read again
}

TEST_F(BluetoothAudioMonitorTest, FailedConnectionsAreLoggedAndClearBusy) {
    bluetooth.setOpenStatus(QStringLiteral("b1"), -536870185);
    bluetooth.setCloseStatus(QStringLiteral("a1"), -536870186);
    bool completed = false;
    monitor.connect({QStringLiteral("b1"), QStringLiteral("Beta"), false, 1}, [&](auto&) { completed = true; });
    monitor.connect({QStringLiteral("gone"), QStringLiteral("Gone"), false, 1}, [&](auto&) { completed = true; });
    monitor.disconnect({QStringLiteral("a1"), QStringLiteral("Alpha"), true, 6});
    settle();

    EXPECT_FALSE(completed);
    EXPECT_TRUE(monitor.busy().isEmpty());
    EXPECT_EQ(monitor.paired().size(), 4u);
    const QString category = QStringLiteral("BluetoothAudioMonitor");
    EXPECT_TRUE(logs.contains(category, LogLevel::Error, QStringLiteral("Connect failed for Beta: IOReturn -536870185")));
    EXPECT_TRUE(logs.contains(category, LogLevel::Error, QStringLiteral("Connect failed for Gone: IOReturn -536870212")));
    EXPECT_TRUE(
        logs.contains(category, LogLevel::Error, QStringLiteral("Disconnect failed for Alpha: IOReturn -536870186")));
}

TEST_F(BluetoothAudioMonitorTest, ResultsForAGoneMonitorDoNothing) {
    auto doomed = std::make_unique<BluetoothAudioMonitor>(bluetooth, background.runner());
    bool completed = false;
    doomed->refresh();
    doomed->connect({QStringLiteral("b1"), QStringLiteral("Beta"), false, 1}, [&](auto&) { completed = true; });
    background.runAll();
    doomed.reset();
    scheduler().runPending();
    EXPECT_FALSE(completed);
    EXPECT_TRUE(background.jobs.empty());
}

}  // namespace
}  // namespace quellor
