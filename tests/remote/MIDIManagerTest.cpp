#include "remote/MIDIManager.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QThread>
#include <thread>

#include "TestEnvironment.h"
#include "platform/AlsaMIDIService.h"
#include "platform/FakeMIDIService.h"
#include "remote/MIDIMappingManager.h"

namespace quellor {
namespace {

using Call = FakeMIDIService::Call;

struct Received {
    int number;
    int value;
    MIDISource source;
    bool onMainThread;
    bool operator==(const Received&) const = default;
};

class MIDIManagerTest : public test::QuellorTest {
protected:
    std::unique_ptr<MIDIManager> start() {
        auto m = std::make_unique<MIDIManager>(fake);
        m->onControlChangeReceived = [this](int number, int value, MIDISource source) {
            bool main = QThread::currentThread() == QCoreApplication::instance()->thread();
            received.push_back({number, value, source, main});
        };
        return m;
    }
    // Runs the service's side on a thread of its own, as the sequencer does.
    template <class F>
    void onServiceThread(F fn) {
        std::thread t(fn);
        t.join();
    }
    int logged(const QString& text) const { return logs.count(text); }

    FakeMIDIService fake;
    std::vector<Received> received;
};

TEST_F(MIDIManagerTest, ConnectsHardwareAndVirtualSourcesAtStart) {
    auto keys = fake.addSource(100, true);
    auto software = fake.addSource(200, false);
    auto manager = start();

    EXPECT_EQ(fake.clientName(), "QuellorMIDIClient");
    EXPECT_EQ(fake.portName(), "QuellorMIDIInputPort");
    EXPECT_NE(manager->client(), 0u);
    EXPECT_NE(manager->port(), 0u);
    EXPECT_EQ(manager->connectedSources(), (std::map<std::int32_t, MIDIService::Ref>{{100, keys}, {200, software}}));
    EXPECT_EQ(fake.connections(), (std::map<MIDIService::Ref, std::uint64_t>{
                                      {keys, MIDISource{100, true}.connectionReference()},
                                      {software, MIDISource{200, false}.connectionReference()}}));
    EXPECT_TRUE(logs.contains("MIDIManager", LogLevel::Info, "Connecting MIDI sources, count: 2"));

    manager.reset();
    EXPECT_FALSE(fake.hasPort());
    EXPECT_FALSE(fake.hasClient());
}

TEST_F(MIDIManagerTest, FollowsSourcesThatComeGoAndComeBack) {
    auto manager = start();
    auto keys = fake.addSource(100, true);
    EXPECT_TRUE(manager->connectedSources().empty()) << "connecting waits for the main thread";
    scheduler().runPending();
    EXPECT_EQ(manager->connectedSources(), (std::map<std::int32_t, MIDIService::Ref>{{100, keys}}));

    // Unplugged, plugged in again: same id, new endpoint. The reappearance is announced before
    // the main thread has caught up with the removal.
    fake.removeSource(keys);
    auto again = fake.addSource(100, true);
    fake.clearCalls();
    scheduler().runPending();
    EXPECT_EQ(fake.calls(), (std::vector<Call>{{Call::Disconnect, keys}, {Call::Connect, again}}));
    EXPECT_EQ(manager->connectedSources(), (std::map<std::int32_t, MIDIService::Ref>{{100, again}}));
    EXPECT_TRUE(logs.contains("MIDIManager", LogLevel::Info, "MIDI source 100 went away; forgetting it"));

    fake.removeSource(again);
    scheduler().runPending();
    EXPECT_TRUE(manager->connectedSources().empty());
    EXPECT_EQ(logged("MIDI source 100 went away; forgetting it"), 2);
}

TEST_F(MIDIManagerTest, OnlySetupAddAndRemoveNotificationsReconnect) {
    auto manager = start();
    auto keys = fake.addSource(100, true, /*announce=*/false);
    fake.notify(MIDIService::PropertyChanged);
    fake.notify(7);
    scheduler().runPending();
    EXPECT_TRUE(manager->connectedSources().empty());

    fake.notify(MIDIService::SetupChanged);
    scheduler().runPending();
    EXPECT_EQ(manager->connectedSources(), (std::map<std::int32_t, MIDIService::Ref>{{100, keys}}));
}

TEST_F(MIDIManagerTest, DuplicateAndUnreadableIDs) {
    auto first = fake.addSource(100, true);
    fake.addSource(100, false);
    auto noID = fake.addSource(std::nullopt, false);
    fake.addSource(std::nullopt, true);
    auto manager = start();
    // Of two sources with one id the first is connected; an unreadable id counts as 0.
    EXPECT_EQ(manager->connectedSources(), (std::map<std::int32_t, MIDIService::Ref>{{0, noID}, {100, first}}));
}

TEST_F(MIDIManagerTest, ASourceThatFailsToConnectIsTriedAgainAtTheNextNotification) {
    auto keys = fake.addSource(100, true);
    fake.failConnect(keys, -10);
    auto manager = start();
    EXPECT_TRUE(manager->connectedSources().empty());
    EXPECT_TRUE(logs.contains("MIDIManager", LogLevel::Error, "Virhe yhdistettäessä MIDI-lähteeseen 100: -10"));

    fake.failConnect(keys, 0);
    fake.notify(MIDIService::SetupChanged);
    scheduler().runPending();
    EXPECT_EQ(manager->connectedSources(), (std::map<std::int32_t, MIDIService::Ref>{{100, keys}}));
}

TEST_F(MIDIManagerTest, WithoutAClientOrPortMIDIStaysOff) {
    struct Case {
        bool clientFails;
        const char* line;
        bool clientLeft;  // a client that was made and has to be disposed of at release
    };
    for (const Case& c : {Case{true, "MIDI-asiakkaan luonti epäonnistui: -4", false},
                          Case{false, "MIDI-syöteportin luonti epäonnistui: -4", true}}) {
        SCOPED_TRACE(c.line);
        FakeMIDIService service;
        if (c.clientFails)
            service.failCreateClient(-4);
        else
            service.failCreatePort(-4);
        service.addSource(100, true);
        logs.clear();
        auto manager = std::make_unique<MIDIManager>(service);
        EXPECT_TRUE(logs.contains("MIDIManager", LogLevel::Error, c.line));
        EXPECT_EQ(manager->port(), 0u);
        EXPECT_EQ(service.hasClient(), c.clientLeft);

        service.notify(MIDIService::ObjectAdded);
        scheduler().runPending();
        manager->connectSources();
        EXPECT_TRUE(service.calls().empty());
        EXPECT_TRUE(manager->connectedSources().empty());
        EXPECT_EQ(logs.records().size(), 1u) << "nothing is logged besides the failure";

        manager.reset();
        EXPECT_FALSE(service.hasClient());
    }
}

TEST_F(MIDIManagerTest, WithoutAnALSASequencerTheProgramRunsWithoutMIDI) {
    if (QFileInfo::exists("/dev/snd/seq")) GTEST_SKIP() << "this machine has an ALSA sequencer";
    AlsaMIDIService alsa;
    MIDIManager manager(alsa);
    EXPECT_EQ(manager.client(), 0u);
    EXPECT_TRUE(logs.contains("MIDIManager", LogLevel::Error, "MIDI-asiakkaan luonti epäonnistui: -2"));
}

TEST_F(MIDIManagerTest, ControlChangesFromTheServiceThreadArriveOnTheMainThread) {
    auto keys = fake.addSource(100, true);
    auto software = fake.addSource(-200, false);
    auto manager = start();

    onServiceThread([&] {
        fake.sendControlChange(keys, 7, 100);
        fake.sendControlChange(software, 1, 0, /*channel=*/15, /*group=*/3);
        fake.sendControlChange(keys, 7, 127, /*channel=*/15);
    });
    EXPECT_TRUE(received.empty()) << "nothing is handled off the main thread";
    EXPECT_FALSE(manager->lastReceivedCC());

    scheduler().runPending();
    EXPECT_EQ(received, (std::vector<Received>{{7, 100, {100, true}, true},
                                               {1, 0, {-200, false}, true},
                                               {7, 127, {100, true}, true}}));
    EXPECT_EQ(manager->lastReceivedCC(), (MIDIManager::ControlChange{7, 127}));
    EXPECT_TRUE(logs.contains("MIDIManager", LogLevel::Debug, "CC 7 = 100"));
}

TEST_F(MIDIManagerTest, OnlyMIDI1ControlChangesAreReported) {
    auto keys = fake.addSource(100, true);
    auto manager = start();
    const std::uint32_t noteOn = 0x20903C64;       // MIDI 1.0 note-on, note 60
    const std::uint32_t midi2CCHead = 0x40B00700;  // MIDI 2.0 control change on CC 7 (two words) ...
    const std::uint32_t midi2CCData = 0x20B00A0B;  // ... whose 32-bit value looks like a MIDI 1.0 CC
    const std::uint32_t cc = 0x20B00540;           // CC 5 = 64
    const std::uint32_t utility = 0x00000000;      // a one-word utility message
    fake.send(keys, {noteOn, midi2CCHead, midi2CCData, utility, cc});
    fake.send(keys, {cc, midi2CCHead});  // the last packet is cut short
    fake.send(keys, {0xF0000000, 0, 0, 0x20B00606});  // the words inside a four-word packet are not messages
    scheduler().runPending();
    EXPECT_EQ(received, (std::vector<Received>{{5, 64, {100, true}, true}, {5, 64, {100, true}, true}}));
}

TEST_F(MIDIManagerTest, ControlChangesPendingWhenTheManagerGoesAreDropped) {
    auto keys = fake.addSource(100, true);
    auto manager = start();
    int handled = 0;
    manager->onControlChangeReceived = [&](int, int, MIDISource) { ++handled; };
    fake.sendControlChange(keys, 7, 1);
    fake.notify(MIDIService::SetupChanged);
    manager.reset();
    scheduler().runPending();
    EXPECT_EQ(handled, 0);
}

// The dispatch the engine installs: learn, or move the mapped route with the fader value.
TEST_F(MIDIManagerTest, LearnThenMoveThroughTheMappings) {
    auto keys = fake.addSource(100, true);
    auto other = fake.addSource(200, true);
    auto manager = start();
    MIDIMappingManager mappings(defaults());
    std::vector<std::pair<QString, float>> moved;
    manager->onControlChangeReceived = [&](int number, int value, MIDISource source) {
        if (auto route = mappings.routeForControl(number, source))
            moved.emplace_back(*route, MIDIMappingManager::faderValue(value));
    };

    mappings.setLearningTarget("bus:main");
    fake.sendControlChange(keys, 7, 90);
    scheduler().runPending();
    EXPECT_TRUE(moved.empty()) << "the learnt control's value is not applied";
    EXPECT_FALSE(mappings.learningTarget());
    EXPECT_EQ(mappings.mappings().at("7"), (MIDIMapping{"bus:main", 100}));

    fake.sendControlChange(other, 7, 10);  // another controller's CC 7
    fake.sendControlChange(keys, 7, 127);
    fake.sendControlChange(keys, 8, 127);  // unmapped
    scheduler().runPending();
    EXPECT_EQ(moved, (std::vector<std::pair<QString, float>>{{"bus:main", 1.0f}}));
}

}  // namespace
}  // namespace quellor
