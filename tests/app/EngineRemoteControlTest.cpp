#include "EngineFixture.h"
#include "FakeRecorder.h"
#include "app/EngineRemoteControl.h"
#include "audio/PhonesBusVolumeController.h"
#include "audio/SystemVolumeController.h"
#include "audio/VolumeControlling.h"
#include "engine/RouteID.h"
#include "remote/MIDIMappingManager.h"
#include "remote/OSCListener.h"

namespace quellor::test {
namespace {

const MIDISource kController{42, true};

// A four-channel interface as the default output, two applications on strips 1 and 2 (of 16
// stored slots; slot 9 holds the radio too) and the remote side wired to the engine.
class RemoteControl : public EngineFixture {
protected:
    void SetUp() override {
        hardware.setDefaultOutputDevice(addOutputDevice("USB-4", 4));
        addApp(101, "com.example.player");
        addApp(102, "com.example.radio");
        QStringList strips = {"com.example.player", "com.example.radio", RouteID::kMainBus, RouteID::kPhonesBus};
        while (strips.size() < 16) strips << "";
        strips[8] = "com.example.radio";
        defaults().setStringArray("consoleSlots", strips);
        defaults().setBool("oscEnabled", false);
        startEngine();
        control = std::make_unique<EngineRemoteControl>(engine(), mappings);
    }
    AppVolume record(const QString& bundleID) {
        auto it = engine().volumes().find(bundleID);
        return it == engine().volumes().end() ? AppVolume{} : it->second;
    }
    void run(OSCCommand command, std::optional<float> value = std::nullopt) {
        control->execute(command, value);
        settle();
    }

    MIDIMappingManager mappings{defaults()};
    std::unique_ptr<EngineRemoteControl> control;
};

TEST_F(RemoteControl, StripCommandsActOnTheRouteInTheStripWithinTheStoredStripCount) {
    run(OSCCommand::stripFader(1));
    EXPECT_EQ(record("com.example.player").volume, 1.0f) << "a fader without a value does nothing";
    run(OSCCommand::stripFader(1), 0.0f);
    EXPECT_EQ(record("com.example.player").volume, 0.0f) << "0 is a fader position";
    run(OSCCommand::stripFader(3), 0.35f);
    EXPECT_FLOAT_EQ(engine().systemVolume().volume(), 0.35f);

    run(OSCCommand::stripMute(2), 0.4f);
    EXPECT_FALSE(record("com.example.radio").isMuted);
    run(OSCCommand::stripMute(2), 0.5f);
    EXPECT_TRUE(record("com.example.radio").isMuted);
    run(OSCCommand::stripMute(2));
    EXPECT_FALSE(record("com.example.radio").isMuted);

    run(OSCCommand::stripCue(1));
    EXPECT_TRUE(record("com.example.player").isCued);
    run(OSCCommand::stripSolo(2));
    EXPECT_EQ(engine().soloed(), std::set<QString>{"com.example.radio"});
    ASSERT_NE(tap("com.example.player"), nullptr);
    EXPECT_TRUE(tap("com.example.player")->panicked()) << "solo silences the others";

    // Strip 9 lies outside a console of 8 strips.
    run(OSCCommand::stripMute(9));
    EXPECT_FALSE(record("com.example.radio").isMuted);
    defaults().setInteger("consoleStrips", 16);
    run(OSCCommand::stripMute(9));
    EXPECT_TRUE(record("com.example.radio").isMuted);
    // Empty strips and strips beyond the console resolve to nothing.
    run(OSCCommand::stripFader(10), 0.1f);
    run(OSCCommand::stripFader(17), 0.1f);
    EXPECT_EQ(record("com.example.player").volume, 0.0f);
}

TEST_F(RemoteControl, MainAndPhonesStepsStayInsideTheRangeAndMuteToggles) {
    struct Case {
        OSCCommand command;
        float before;
        float after;
    };
    const Case cases[] = {
        {OSCCommand::mainUp(), 0.98f, 1.0f},   {OSCCommand::mainUp(), 0.5f, 0.55f},
        {OSCCommand::mainDown(), 0.02f, 0.0f}, {OSCCommand::mainDown(), 0.5f, 0.45f},
        {OSCCommand::phonesUp(), 0.98f, 1.0f}, {OSCCommand::phonesDown(), 0.02f, 0.0f},
    };
    for (const auto& c : cases) {
        const bool main = c.command.kind() == OSCCommand::Kind::MainUp || c.command.kind() == OSCCommand::Kind::MainDown;
        VolumeControlling& target = main ? static_cast<VolumeControlling&>(engine().systemVolume())
                                         : *engine().activePhonesVolume();
        target.setVolume(c.before);
        settle();
        run(c.command);
        EXPECT_NEAR(target.volume(), c.after, 1e-6) << int(c.command.kind()) << " from " << c.before;
    }
    const bool muted = engine().systemVolume().isMuted();
    run(OSCCommand::mainMute());
    EXPECT_NE(engine().systemVolume().isMuted(), muted);

    // No PHONES pair: the PHONES steps do nothing.
    hardware.setDefaultOutputDevice(addOutputDevice("SPK", 2));
    settle();
    ASSERT_FALSE(engine().activePhonesVolume());
    const float phones = engine().phonesBusVolume().volume();
    run(OSCCommand::phonesUp());
    EXPECT_EQ(engine().phonesBusVolume().volume(), phones);
}

TEST_F(RemoteControl, PanicAndLockToggleAndButtonsIgnoreValuesBelowHalf) {
    run(OSCCommand::panic(), 0.2f);
    EXPECT_FALSE(engine().isPanicked());
    run(OSCCommand::panic(), 1.0f);
    EXPECT_TRUE(engine().isPanicked());
    run(OSCCommand::panic());
    EXPECT_FALSE(engine().isPanicked());
    for (const char* line : {"Panic engaged", "Panic released"}) {
        EXPECT_TRUE(logs.contains("MixerEngine", LogLevel::Info, line));
        EXPECT_EQ(logs.count(line), 1);
    }

    run(OSCCommand::lock());
    EXPECT_EQ(defaults().boolValue("consoleLocked"), true);
    run(OSCCommand::lock(), 0.49f);
    EXPECT_EQ(defaults().boolValue("consoleLocked"), true);
    run(OSCCommand::lock());
    EXPECT_EQ(defaults().boolValue("consoleLocked"), false);

    const auto volumes = engine().volumes();
    run(OSCCommand::scene(1));
    run(OSCCommand::record());
    EXPECT_EQ(engine().volumes(), volumes);
}

TEST_F(RemoteControl, RecordCommandStartsAndStopsTheRecording) {
    FakeRecorder recorder{[this] { return hardware.io().hostTimeNow(); }};
    engine().setRecorder(&recorder);
    run(OSCCommand::record(), 0.2f);
    EXPECT_FALSE(engine().isRecording());
    run(OSCCommand::record());
    EXPECT_TRUE(engine().isRecording());
    run(OSCCommand::record(), 1.0f);
    EXPECT_FALSE(engine().isRecording());
    engine().setRecorder(nullptr);
}

TEST_F(RemoteControl, MidiLearnMapsTheNextControlAndLaterControlsMoveTheRoute) {
    mappings.setLearningTarget(QString("com.example.radio"));
    control->handleControlChange(7, 100, kController);
    EXPECT_FALSE(mappings.learningTarget());
    EXPECT_EQ(record("com.example.radio").volume, 1.0f) << "the learning control moves nothing";
    control->handleControlChange(7, 64, kController);
    EXPECT_FLOAT_EQ(record("com.example.radio").volume, 64.0f / 127.0f);
    control->handleControlChange(7, 300, kController);
    EXPECT_EQ(record("com.example.radio").volume, 1.0f);
    control->handleControlChange(8, 0, kController);
    EXPECT_EQ(record("com.example.radio").volume, 1.0f) << "an unmapped control is ignored";

    // A control mapped to a device moves that device and stores no application record.
    mappings.assign(9, kController, RouteID::kDevicePrefix + "UNKNOWN");
    control->handleControlChange(9, 0, kController);
    EXPECT_EQ(engine().volumes().count(RouteID::kDevicePrefix + "UNKNOWN"), 0u);
}

TEST_F(RemoteControl, ANumberedOscControlReachesItsMappedRouteThroughTheListener) {
    OSCListener listener(QHostAddress::LocalHost);
    control->install(listener, nullptr);
    const NetworkEndpoint sender(QHostAddress::LocalHost, 50000);

    // Learnt like a MIDI controller: the first value maps, the next one moves.
    mappings.setLearningTarget(QString("com.example.player"));
    listener.route(OSCMessage{"/quellor/12", 0.8f}, sender);
    EXPECT_EQ(record("com.example.player").volume, 1.0f);
    listener.route(OSCMessage{"/quellor/12", 0.25f}, sender);
    EXPECT_FLOAT_EQ(record("com.example.player").volume, 0.25f);

    listener.route(OSCMessage{"/quellor/strip/2/fader", 0.5f}, sender);
    EXPECT_FLOAT_EQ(record("com.example.radio").volume, 0.5f);
    EXPECT_EQ(engine().iphoneEndpoint(), sender) << "value addresses are the companion's contact";
}

}  // namespace
}  // namespace quellor::test
