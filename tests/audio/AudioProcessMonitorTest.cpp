#include <QSignalSpy>

#include "audio/AudioProcessMonitor.h"
#include "platform/SimulatedHardwareFixture.h"
#include "platform/SimulatedRunningApplications.h"

namespace quellor {
namespace {

class AudioProcessMonitorTest : public test::SimulatedHardwareTest {
protected:
    AudioProcessMonitorTest() { running.setOwnBundleIdentifier(QStringLiteral("com.larchfen.quellor")); }

    void launch(std::int32_t pid, std::optional<QString> bundle, std::optional<QString> name,
                ActivationPolicy policy = ActivationPolicy::Regular) {
        running.launch({pid, std::move(bundle), std::move(name), policy, std::nullopt});
    }
    AudioObjectID process(std::int32_t pid, bool playing = false, bool recording = false) {
        SimulatedProcess p;
        p.pid = pid;
        p.runningOutput = playing;
        p.runningInput = recording;
        return hw.addProcess(p);
    }
    int countPrefix(const QString& prefix) const {
        int n = 0;
        for (const auto& r : logs.records(QStringLiteral("AudioProcessMonitor")))
            if (r.text.startsWith(prefix)) n += 1;
        return n;
    }
    QStringList names() const {
        QStringList result;
        for (const auto& a : monitor.apps()) result.append(a.name);
        return result;
    }
    const AudioApp* find(std::int32_t id) const {
        for (const auto& a : monitor.apps())
            if (a.id == id) return &a;
        return nullptr;
    }

    SimulatedRunningApplications running;
    AudioProcessMonitor monitor{running};
};

TEST_F(AudioProcessMonitorTest, FoldsHelperProcessesIntoTheResponsibleApplication) {
    launch(100, "org.example.Browser", "Browser");
    running.setResponsible(101, 100);  // the browser's audio service, no application of its own
    running.setResponsible(102, 100);
    AudioObjectID helper = process(101, true);
    AudioObjectID own = process(100);
    AudioObjectID other = process(102, false, true);
    monitor.start();

    ASSERT_EQ(monitor.apps().size(), 1u);
    const AudioApp& browser = monitor.apps().front();
    EXPECT_EQ(browser.id, 100);
    EXPECT_EQ(browser.bundleID, QStringLiteral("org.example.Browser"));
    EXPECT_EQ(browser.name, QStringLiteral("Browser"));
    std::vector<std::uint32_t> expected{helper, own, other};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(browser.objectIDs, expected);
    EXPECT_TRUE(browser.isPlaying);
    EXPECT_TRUE(browser.isRecording);
    EXPECT_EQ(monitor.icon(browser), QStringLiteral("application-x-executable"));  // it has none of its own
    running.launch({100, "org.example.Browser", "Browser", ActivationPolicy::Regular, "org.example.browser"});
    EXPECT_EQ(monitor.icon(browser), QStringLiteral("org.example.browser"));
}

TEST_F(AudioProcessMonitorTest, ListsWhatPlaysOrIsOrdinaryAndSortsPlayingFirst) {
    launch(10, "org.example.agent", "Agent", ActivationPolicy::Accessory);  // silent background: dropped
    process(10);
    launch(11, "org.example.daemon", "daemon", ActivationPolicy::Prohibited);  // playing background: listed
    process(11, true);
    launch(12, "org.example.editor", "editor");  // ordinary, no process objects
    launch(13, "org.example.editor", "editor");  // a second instance
    launch(14, "org.example.Zed", "Zed");
    process(14, true);
    launch(15, "org.example.noname", std::nullopt);
    process(15);
    launch(16, std::nullopt, "No identifier");  // neither grouped nor added
    process(16, true);
    launch(17, "com.larchfen.quellor", "Quellor");  // ourselves
    process(17, true);
    launch(18, "org.example.Alpha", "alpha");
    launch(19, "org.example.alpha", "Alpha");
    process(999, true);  // no application at all
    monitor.start();

    EXPECT_EQ(names(), (QStringList{"daemon", "Zed", "alpha", "Alpha", "editor", "editor", "org.example.noname"}));
    EXPECT_FALSE(find(10));
    EXPECT_TRUE(find(12)->objectIDs.empty());
    EXPECT_FALSE(find(12)->isPlaying);
    EXPECT_TRUE(find(13));
    EXPECT_FALSE(find(16));
    EXPECT_FALSE(find(17));
}

TEST_F(AudioProcessMonitorTest, PublishesOnlyChangesAfterTheDebounceOrThePoll) {
    launch(20, "org.example.Player", "Player");
    AudioObjectID player = process(20);
    monitor.start();
    QSignalSpy published(&monitor, &AudioProcessMonitor::appsChanged);
    logs.clear();

    // A burst of process-list changes ends in one refresh, 0.1 s after the last change.
    launch(21, "org.example.Radio", "Radio");
    for (int i = 0; i < 3; ++i) {
        process(21);
        advance(0.05);
    }
    EXPECT_EQ(published.count(), 0);
    advance(0.06);
    EXPECT_EQ(published.count(), 1);
    EXPECT_EQ(countPrefix(QStringLiteral("Apps: ")), 1);

    // A flag change alters no process list: the poll finds it.
    hw.setProcessRunning(player, true, false);
    advance(1.5);
    EXPECT_EQ(published.count(), 1);
    advance(0.5);
    EXPECT_EQ(published.count(), 2);
    EXPECT_TRUE(logs.contains(QStringLiteral("AudioProcessMonitor"), LogLevel::Info,
                              QStringLiteral("Apps: 2/4 HAL processes — Player*, Radio")));
    EXPECT_TRUE(logs.containsText(QStringLiteral("GROUP org.example.Player objects=[%1] playing=true").arg(player)));

    // Nothing changed: nothing published, nothing logged.
    logs.clear();
    advance(2.0);
    EXPECT_EQ(published.count(), 2);
    EXPECT_TRUE(logs.records(QStringLiteral("AudioProcessMonitor")).empty());
}

TEST_F(AudioProcessMonitorTest, UnreadableProcessesAreLeftOutAndAFailedListKeepsThePrevious) {
    launch(30, "org.example.Player", "Player");
    AudioObjectID playing = process(30, true);
    AudioObjectID unreadable = process(31, true);
    hw.failEvery({SimulatedHardware::Call::Data, unreadable, hal::kProcessPID, std::nullopt}, hal::kStatusUnspecified);
    monitor.start();
    ASSERT_EQ(monitor.apps().size(), 1u);
    EXPECT_EQ(monitor.apps().front().objectIDs, std::vector<std::uint32_t>{playing});
    EXPECT_TRUE(logs.containsText(
        QStringLiteral("UNGROUPED object=%1 pid=-1 owner=-1 bundle=? out=true").arg(unreadable)));

    hw.failEvery({SimulatedHardware::Call::DataSize, hal::kSystemObject, hal::kProcessObjectList, std::nullopt},
                 hal::kStatusUnspecified);
    running.quit(30);
    advance(2.0);
    EXPECT_EQ(monitor.apps().size(), 1u);
    EXPECT_TRUE(logs.contains(QStringLiteral("AudioProcessMonitor"), LogLevel::Error,
                              QStringLiteral("Failed to read HAL process list")));
}

TEST_F(AudioProcessMonitorTest, WithoutTheResponsibilityLookupEveryProcessAnswersForItself) {
    launch(40, "org.example.Browser", "Browser");
    launch(41, "org.example.Browser.helper", "Browser Helper", ActivationPolicy::Accessory);
    running.setResponsible(41, 40);
    running.setResponsibilityAvailable(false);
    process(41, true);
    monitor.start();
    EXPECT_EQ(names(), (QStringList{"Browser Helper", "Browser"}));
}

TEST_F(AudioProcessMonitorTest, StartsOnceAndStopsListeningWhenGone) {
    PropertyAddress list{hal::kProcessObjectList, hal::kScopeGlobal, hal::kElementMain};
    {
        AudioProcessMonitor local(running);
        local.start();
        local.start();
        EXPECT_EQ(hw.listenerCount(hal::kSystemObject, list), 1u);
        process(50);
    }
    EXPECT_EQ(hw.listenerCount(hal::kSystemObject, list), 0u);
    advance(5);  // late notifications and timers find nobody
}

}  // namespace
}  // namespace quellor
