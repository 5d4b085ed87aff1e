// Setups against the real engine on the simulated world: what a capture takes from the engine,
// what applying a setup does to the live taps, levels, default output and strips, and the current
// setup following the live mix through the engine's mix-change hook.
#include <QPointer>
#include <QTemporaryDir>
#include <chrono>
#include <cmath>
#include <memory>

#include "EngineFixture.h"
#include "SetupPrinting.h"
#include "audio/AudioDeviceMonitor.h"
#include "audio/PhonesBusVolumeController.h"
#include "audio/SystemVolumeController.h"
#include "audio/VolumeWriteQueue.h"
#include "base/JsonDefaults.h"
#include "setups/MixerEngineSessionEngine.h"
#include "setups/SessionManager.h"
#include "setups/SessionTransfer.h"

namespace quellor::test {
namespace {

using namespace std::chrono_literals;

const QString kTuner = "com.example.tuner";

QStringList padded(QStringList ids, int count = 16) {
    while (ids.size() < count) ids << QString();
    return ids;
}

// An 8-channel interface (with a PHONES pair) as the default output, stereo speakers beside it,
// and three playing applications, all tapped because the output has PHONES.
class MixerEngineSessionTest : public EngineFixture {
protected:
    void SetUp() override {
        iface = addOutputDevice("iface", 8);
        speakers = addOutputDevice("speakers", 2);
        hardware.setDefaultOutputDevice(iface);
        addApp(100, kPlayer);
        addApp(200, kRadio);
        addApp(300, kTuner);
        startEngine();
        adapter = std::make_unique<MixerEngineSessionEngine>(engine());
        ASSERT_EQ(tappedApps(), (QStringList{kPlayer, kRadio, kTuner}));
    }
    void TearDown() override { flushVolumeWrites(); }

    // A setup manager on `store` whose current setup follows the live mix, wired as the
    // application wires it (the hook holds the manager weakly).
    std::unique_ptr<SessionManager> followingManager(const MixSessionStore& store) {
        auto manager = std::make_unique<SessionManager>(*adapter, store);
        engine().onMixChanged = [m = QPointer<SessionManager>(manager.get())] {
            if (m) m->captureCurrent();
        };
        return manager;
    }

    // The system volume is written to the hardware on a thread of its own; its completions come
    // back through the scheduler.
    void flushVolumeWrites() {
        ASSERT_TRUE(VolumeWriteQueue::system().waitUntilIdle(5s));
        scheduler().runPending();
    }
    QString defaultOutputUID() {
        auto device = engine().currentOutputDevice();
        return device ? device->uid : QString();
    }
    void setSlots(const QStringList& ids) {
        for (int i = 0; i < ids.size(); ++i) engine().setSlot(ids[i], i);
    }

    AudioObjectID iface = 0;
    AudioObjectID speakers = 0;
    std::unique_ptr<MixerEngineSessionEngine> adapter;
};

TEST_F(MixerEngineSessionTest, CaptureTakesTheLiveMixAndKeepsIdentityNameAndCreation) {
    engine().setVolume(0.3f, app(kPlayer));
    engine().toggleMute(app(kRadio));
    engine().setSlot(kPlayer, 2);
    const StripStyleMap styles{{kPlayer, StripStyle{QString("Lead"), 3, std::nullopt}}};
    engine().setStripStyles(styles);
    engine().systemVolume().setVolume(0.6f);
    engine().phonesBusVolume().setVolume(0.7f);
    flushVolumeWrites();

    MixSession base;
    base.name = "Base";
    base.createdAt = base.modifiedAt = QDateTime::fromSecsSinceEpoch(1'000'000'000, Qt::UTC);
    base.phonesLevel = 0.1f;
    base.stripSlots = {"stale"};
    const QDateTime now = QDateTime::fromSecsSinceEpoch(1'700'000'000, Qt::UTC);

    MixSession expected = base;
    expected.volumes = {{kPlayer, AppVolume{0.3f, false, {}, false, 1.0f}},
                        {kRadio, AppVolume{1.0f, true, {}, false, 1.0f}}};
    expected.mainDeviceUID = "iface";
    expected.mainLevel = 0.6f;
    expected.phonesLevel = 0.7f;
    expected.stripSlots = padded({"bus:main", "bus:phones", kPlayer});
    expected.styles = styles;
    expected.modifiedAt = now;
    EXPECT_EQ(captureSession(*adapter, base, now), expected);

    // Stereo speakers have no PHONES pair: the PHONES level is left out. Empty styles are kept.
    hardware.setDefaultOutputDevice(speakers);
    settle();
    engine().setStripStyles({});
    MixSession onSpeakers = captureSession(*adapter, base, now);
    EXPECT_EQ(onSpeakers.mainDeviceUID, "speakers");
    EXPECT_EQ(onSpeakers.phonesLevel, std::nullopt);
    EXPECT_EQ(onSpeakers.styles, StripStyleMap{});
    EXPECT_TRUE(onSpeakers.mainLevel.has_value());
}

TEST_F(MixerEngineSessionTest, ApplyingWritesEveryLiveTapFromTheSetupOrTheDefaults) {
    const QString deck = "com.example.deck";
    addApp(400, deck);
    settle();
    engine().setVolume(0.2f, app(deck));
    engine().toggleMute(app(deck));
    ASSERT_FLOAT_EQ(tap(deck)->volume(), 0.2f);
    AudioDevice speakerDevice;
    for (const AudioDevice& d : engine().deviceMonitor().devices())
        if (d.uid == "speakers") speakerDevice = d;
    engine().addOutput(speakerDevice, app(kRadio));
    ASSERT_NE(tap(kRadio), nullptr);
    ASSERT_FALSE(tap(kRadio)->isMuted());
    const AudioObjectID radioTap = tapAggregate(kRadio);

    MixSession setup;
    setup.volumes = {{kPlayer, AppVolume{0.3f, true, {}, false, 0.6f}},
                     // Explicit outputs and no cue: the level is applied on the speakers, the tap
                     // plays at full level and keeps the record's mute.
                     {kRadio, AppVolume{0.7f, true, {"speakers"}, false, 0.8f}},
                     {kTuner, AppVolume{0.4f, false, {"speakers"}, false, 0.5f}}};
    setup.mainLevel = 0.45f;
    setup.phonesLevel = 0.25f;
    setup.styles = StripStyleMap{{"bus:main", StripStyle{QString("Out"), std::nullopt, QString("A")}}};
    setup.stripSlots = padded({"bus:main", kTuner});
    applySession(*adapter, setup);
    flushVolumeWrites();

    EXPECT_EQ(engine().volumes(), setup.volumes);
    ASSERT_NE(tap(kPlayer), nullptr);
    EXPECT_FLOAT_EQ(tap(kPlayer)->volume(), 0.3f);
    EXPECT_TRUE(tap(kPlayer)->isMuted());
    EXPECT_FLOAT_EQ(tap(kPlayer)->cueVolume(), 0.6f);
    // Not in the setup: back to the default record.
    ASSERT_NE(tap(deck), nullptr);
    EXPECT_FLOAT_EQ(tap(deck)->volume(), 1.0f);
    EXPECT_FALSE(tap(deck)->isMuted());
    // Already on its outputs, so the live tap is written, not rebuilt.
    ASSERT_NE(tap(kRadio), nullptr);
    ASSERT_EQ(tapAggregate(kRadio), radioTap);
    EXPECT_FLOAT_EQ(tap(kRadio)->volume(), 1.0f);
    EXPECT_TRUE(tap(kRadio)->isMuted());
    EXPECT_FLOAT_EQ(tap(kRadio)->cueVolume(), 0.8f);
    // Rebuilt onto its own output.
    ASSERT_NE(tap(kTuner), nullptr);
    ASSERT_FALSE(tap(kTuner)->activatedOutputs().empty());
    EXPECT_EQ(tap(kTuner)->activatedOutputs().front().uid, "speakers");
    EXPECT_FLOAT_EQ(tap(kTuner)->volume(), 1.0f);
    EXPECT_FALSE(tap(kTuner)->isMuted());
    EXPECT_FLOAT_EQ(tap(kTuner)->cueVolume(), 0.5f);

    EXPECT_FLOAT_EQ(engine().systemVolume().volume(), 0.45f);
    EXPECT_FLOAT_EQ(engine().phonesBusVolume().volume(), 0.25f);
    EXPECT_EQ(engine().stripStyles(), *setup.styles);
    EXPECT_EQ(engine().consoleSlots(), setup.stripSlots);
    EXPECT_EQ(defaultOutputUID(), "iface");  // the setup names no main device

    // The records are saved by the engine's debounced save, at defaults left out.
    advance(0.5);
    EXPECT_EQ(JsonDefaults::load<AppVolumeMap>("appVolumes"), setup.volumes);
}

TEST_F(MixerEngineSessionTest, OnlySlotListsOfEightOrSixteenEntriesReplaceTheStrips) {
    const QStringList before = padded({"bus:main", "bus:phones", kPlayer, "", "", "", "", "", "", "", kRadio});
    QStringList eight{kRadio, kPlayer, "", "bus:main", "", "", "", "system_input"};
    QStringList twelve = padded({kTuner, kTuner}, 12);
    QStringList sixteen = padded({"bus:phones"});
    sixteen[15] = kTuner;
    struct Case {
        const char* what;
        QStringList setupSlots;
        QStringList after;
    } cases[] = {
        {"8 entries, the rest emptied", eight, padded(eight)},
        {"12 entries, strips untouched", twelve, before},
        {"16 entries", sixteen, sixteen},
    };
    for (const Case& c : cases) {
        setSlots(before);
        MixSession setup;
        setup.stripSlots = c.setupSlots;
        applySession(*adapter, setup);
        EXPECT_EQ(engine().consoleSlots(), c.after) << c.what;
        EXPECT_EQ(defaults().stringArrayValue("consoleSlots"), c.after) << c.what;
    }
}

TEST_F(MixerEngineSessionTest, AMissingMainDeviceKeepsTheDefaultOutputAndTheRestIsApplied) {
    MixSession setup;
    setup.mainDeviceUID = "unplugged-interface";
    setup.mainLevel = 0.35f;
    setup.phonesLevel = 0.2f;
    setup.volumes = {{kPlayer, AppVolume{0.5f, false, {}, false, 1.0f}}};
    setup.stripSlots = padded({kPlayer});
    applySession(*adapter, setup);
    flushVolumeWrites();
    settle();

    EXPECT_EQ(hardware.defaultOutputDevice(), iface);
    EXPECT_EQ(defaultOutputUID(), "iface");
    EXPECT_FLOAT_EQ(tap(kPlayer)->volume(), 0.5f);
    EXPECT_FLOAT_EQ(engine().systemVolume().volume(), 0.35f);
    EXPECT_FLOAT_EQ(engine().phonesBusVolume().volume(), 0.2f);
    EXPECT_EQ(engine().consoleSlots(), setup.stripSlots);

    // A device that is present becomes the default output. It has no PHONES pair, so the setup's
    // PHONES level is not applied.
    setup.mainDeviceUID = "speakers";
    setup.phonesLevel = 0.9f;
    applySession(*adapter, setup);
    flushVolumeWrites();
    settle();
    EXPECT_EQ(hardware.defaultOutputDevice(), speakers);
    EXPECT_EQ(defaultOutputUID(), "speakers");
    EXPECT_EQ(engine().activePhonesVolume(), nullptr);
    EXPECT_FLOAT_EQ(engine().phonesBusVolume().volume(), 0.2f);
}

TEST_F(MixerEngineSessionTest, TheCurrentSetupFollowsTheLiveMixAndSwitchingKeepsSetupsApart) {
    QTemporaryDir dir;
    const MixSessionStore store(dir.path() + "/Quellor/sessions.json");
    auto manager = followingManager(store);
    auto current = [&] {
        if (manager) manager->waitForWrites();
        auto file = store.load().file;
        EXPECT_TRUE(file && file->currentID);
        for (const MixSession& s : file ? file->sessions : std::vector<MixSession>{})
            if (s.id == file->currentID) return s;
        return MixSession{};
    };
    const QUuid first = *manager->currentID();

    // A slot change and a style change are captured at once and written together a moment after
    // the first, with the previous file kept as the backup.
    manager->waitForWrites();
    const QByteArray initial = *MixSessionStore::readAll(store.path());
    engine().setSlot(kRadio, 5);
    EXPECT_EQ(manager->currentSession()->stripSlots.value(5), kRadio);
    const StripStyleMap styles{{kRadio, StripStyle{QString("News"), 1, std::nullopt}}};
    engine().setStripStyles(styles);
    EXPECT_EQ(MixSessionStore::readAll(store.path()), initial);
    advance(SessionManager::kCaptureSaveDelay);
    EXPECT_EQ(current().stripSlots.value(5), kRadio);
    EXPECT_EQ(current().styles, styles);
    EXPECT_EQ(MixSessionStore::readAll(store.backupPath()), initial);  // current() waited for the write

    // A fader move is captured with the engine's debounced save (0.4 s) and written after it.
    engine().setVolume(0.3f, app(kPlayer));
    advance(0.3);
    EXPECT_EQ(manager->currentSession()->volumes.count(kPlayer), 0u);
    advance(0.2 + SessionManager::kCaptureSaveDelay);
    EXPECT_EQ(current().volumes.at(kPlayer).volume, 0.3f);

    // A new setup starts empty; the reports raised while applying it (and the delayed save) land
    // in it, not in the setup that was left.
    manager->newSetup("Live");
    advance(0.5);
    EXPECT_EQ(current().name, "Live");
    EXPECT_TRUE(current().volumes.empty());
    EXPECT_EQ(engine().consoleSlots(), padded({"bus:main", "bus:phones"}));
    EXPECT_EQ(tap(kPlayer)->volume(), 1.0f);

    manager->switchTo(first);
    advance(0.5);
    EXPECT_EQ(current().id, first);
    EXPECT_EQ(current().volumes.at(kPlayer).volume, 0.3f);
    EXPECT_FLOAT_EQ(tap(kPlayer)->volume(), 0.3f);
    EXPECT_EQ(engine().consoleSlots().value(5), kRadio);
    EXPECT_EQ(engine().stripStyles(), styles);

    // The hook holds the manager weakly: once it is gone (writing what was still waiting), mix
    // changes write nothing.
    manager.reset();
    const QByteArray last = *MixSessionStore::readAll(store.path());
    engine().setSlot(kTuner, 6);
    advance(0.5);
    EXPECT_EQ(MixSessionStore::readAll(store.path()), last);
}

// A knob that never rests (20 changes a second for 5 s): each change is in "appVolumes" and in the
// setups file at most two seconds after it was made, while the stream still goes on.
TEST_F(MixerEngineSessionTest, AStreamOfChangesReachesBothFilesWhileItLasts) {
    QTemporaryDir dir;
    const MixSessionStore store(dir.path() + "/Quellor/sessions.json");
    auto manager = followingManager(store);
    auto onDisk = [&]() -> float {
        manager->waitForWrites();
        auto file = store.load().file;
        if (!file || file->sessions.empty()) return -1;
        auto it = file->sessions[0].volumes.find(kPlayer);
        return it == file->sessions[0].volumes.end() ? -1 : it->second.volume;
    };
    auto inDefaults = [&]() -> float {
        auto map = JsonDefaults::load<AppVolumeMap>("appVolumes");
        return map && map->count(kPlayer) ? map->at(kPlayer).volume : -1;
    };
    constexpr double kStep = 0.05, kLongest = 2.0;
    std::vector<float> made;  // the value set at each step
    for (int i = 0; i < 100; ++i) {
        made.push_back(0.2f + 0.005f * float(i));
        engine().setVolume(made.back(), app(kPlayer));
        advance(kStep);
        const int due = i - int(std::lround(kLongest / kStep));  // made kLongest ago
        if (due < 0) continue;
        EXPECT_GE(inDefaults(), made[due]) << "step " << i;
        EXPECT_GE(onDisk(), made[due]) << "step " << i;
    }
    advance(1);
    EXPECT_EQ(inDefaults(), made.back());
    EXPECT_EQ(onDisk(), made.back());
}

}  // namespace
}  // namespace quellor::test
