// Recording the MAIN mix from the engine's side: what the taps put into the recorder's lane, how a
// recording starts and stops, and auto-record's start of capture.
#include "EngineFixture.h"
#include "FakeRecorder.h"
#include "audio/AudioDeviceMonitor.h"
#include "engine/RouteID.h"

namespace quellor::test {
namespace {

const QString kElsewhere = "com.example.elsewhere";

class MixerEngineRecordingTest : public EngineFixture {
protected:
    void useRecorder() { engine().setRecorder(&recorder); }
    AudioDevice device(const QString& uid) {
        for (const AudioDevice& d : engine().deviceMonitor().devices())
            if (d.uid == uid) return d;
        ADD_FAILURE() << "no device " << qPrintable(uid);
        return {};
    }
    // Frames of the lane in [from, to) whose two channels are not both `expected`.
    int framesOff(qint64 from, qint64 to, float expected) const {
        int off = 0;
        for (qint64 f = from; f < to; ++f)
            if (std::fabs(recorder.lane.left(f) - expected) > 1e-6f ||
                std::fabs(recorder.lane.right(f) - expected) > 1e-6f)
                ++off;
        return off;
    }

    FakeRecorder recorder{[this] { return hardware.io().hostTimeNow(); }};
};

// Two channels: the taps render the general path; eight: MAIN and PHONES pairs.
class MainMixTest : public MixerEngineRecordingTest, public ::testing::WithParamInterface<int> {};

TEST_P(MainMixTest, LaneGetsTheSumOfTheMainPairsOfTapsOnTheMainDevice) {
    using Tone = SimulatedWorld::Tone;
    hardware.setDefaultOutputDevice(addOutputDevice("speakers", GetParam()));
    addOutputDevice("other", 2);
    hardware.io().setTone(addApp(100, kPlayer), {Tone::Kind::dc, 0, 0, 0.4f});
    hardware.io().setTone(addApp(200, kRadio), {Tone::Kind::dc, 0, 0, 0.2f});
    hardware.io().setTone(addApp(300, kElsewhere), {Tone::Kind::dc, 0, 0, 0.3f});
    useRecorder();
    startEngine();
    engine().setVolume(0.5f, app(kPlayer));
    engine().addOutput(device("other"), app(kElsewhere));  // not on MAIN: not recorded
    advance(1.0);  // the fader's ramp settles

    engine().startRecording();
    ASSERT_EQ(tappedApps(), (QStringList{kElsewhere, kPlayer, kRadio}));
    ASSERT_EQ(tap(kPlayer)->pairedBuses(), GetParam() == 8);
    advance(1.0);
    // After the fader: 0.4 at 0.5 (a gain of 0.125) and 0.2 at full level, every frame exactly once.
    const qint64 second = recorder.lane.written;
    EXPECT_NEAR(double(second), 48000.0, 1024.0);
    EXPECT_EQ(framesOff(1024, second, 0.4f * 0.125f + 0.2f), 0);

    // Before the fader, from the next cycle on.
    defaults().setBool("recordPreFader", true);
    EXPECT_TRUE(tap(kPlayer)->recordPre());
    advance(1.0);
    EXPECT_EQ(framesOff(second, recorder.lane.written, 0.4f + 0.2f), 0);
}

INSTANTIATE_TEST_SUITE_P(Layouts, MainMixTest, ::testing::Values(2, 8));

TEST_F(MixerEngineRecordingTest, RecordingStartsAndStopsCaptureTakeAndTaps) {
    hardware.setDefaultOutputDevice(addOutputDevice("speakers", 2, 96000));
    addApp(100, kPlayer);
    startEngine();
    engine().startRecording();  // no recorder: nothing to record with
    EXPECT_FALSE(engine().isRecording());

    useRecorder();
    engine().startRecording();
    EXPECT_EQ(recorder.calls, (std::vector<QString>{"start 96000", "open"}));
    EXPECT_TRUE(engine().isRecording());
    EXPECT_EQ(engine().recordingURL(), "/recordings");
    EXPECT_EQ(tappedApps(), QStringList{kPlayer});  // at its defaults, but the mix is being recorded
    engine().startRecording();
    EXPECT_EQ(recorder.calls.size(), 2u);

    recorder.calls.clear();
    engine().stopRecording();
    EXPECT_EQ(recorder.calls, (std::vector<QString>{"close 0 1", "stop", "prune /recordings"}));
    EXPECT_FALSE(engine().isRecording());
    advance(0.3);
    EXPECT_TRUE(tappedApps().isEmpty());
    engine().stopRecording();
    EXPECT_EQ(recorder.calls.size(), 3u);

    // With auto-record on, stopping closes the take and capture goes on.
    engine().setAutoRec(true);
    advance(0.1);
    recorder.calls.clear();
    engine().toggleRecording();
    EXPECT_EQ(recorder.calls, (std::vector<QString>{"open"}));
    engine().toggleRecording();
    EXPECT_EQ(recorder.calls, (std::vector<QString>{"open", "close 0 1", "prune /recordings"}));
    EXPECT_TRUE(recorder.capturing);

    // A take that cannot be made: no recording, and the capture it needed ends again.
    engine().setAutoRec(false);
    recorder.canOpen = false;
    recorder.calls.clear();
    engine().startRecording();
    EXPECT_EQ(recorder.calls, (std::vector<QString>{"start 96000", "open", "stop"}));
    EXPECT_FALSE(engine().isRecording());
    EXPECT_TRUE(logs.contains("MixerEngine", LogLevel::Error, "Recording could not be started"));
}

TEST_F(MixerEngineRecordingTest, RemoteMessagesAndTheRecordRouteDriveRecording) {
    hardware.setDefaultOutputDevice(addOutputDevice("speakers", 2));
    useRecorder();
    startEngine();
    remote.handlers.record(true);
    EXPECT_TRUE(engine().isRecording());
    remote.handlers.record(false);
    EXPECT_FALSE(engine().isRecording());

    // The route is a button: a press toggles, a release does nothing.
    engine().performRouteAction(RouteID::kRecordTransport, 1.0f);
    EXPECT_TRUE(engine().isRecording());
    engine().performRouteAction(RouteID::kRecordTransport, 0.0f);
    EXPECT_TRUE(engine().isRecording());
    engine().performRouteAction(RouteID::kRecordTransport, 0.5f);
    EXPECT_FALSE(engine().isRecording());

    remote.handlers.autoRec(true);
    EXPECT_TRUE(engine().isAutoRec());
    EXPECT_EQ(defaults().boolValue("autoRec"), true);
    remote.handlers.autoRec(false);
    EXPECT_FALSE(engine().isAutoRec());
}

TEST_F(MixerEngineRecordingTest, SizeCeilingAndShutdownEndTheRecording) {
    hardware.setDefaultOutputDevice(addOutputDevice("speakers", 2));
    {
        // A take can reach its ceiling after the engine that installed the recorder is gone.
        MixerEngine gone({running, bluetooth, [](std::function<void()> job) { job(); }, nullptr}, defaults());
        gone.setRecorder(&recorder);
    }
    ASSERT_TRUE(recorder.stopRequest);
    recorder.stopRequest();
    useRecorder();
    recorder.stopRequest();  // before start: nothing records yet
    startEngine();
    engine().startRecording();
    ASSERT_TRUE(recorder.stopRequest);
    recorder.stopRequest();
    EXPECT_FALSE(engine().isRecording());
    EXPECT_FALSE(recorder.capturing);

    engine().startRecording();
    engine().shutdown();
    EXPECT_FALSE(recorder.capturing);  // the open take is finished at quit
}

TEST_F(MixerEngineRecordingTest, AutoRecordCapturesOnceAnOutputDeviceExistsAtItsRate) {
    useRecorder();
    engine().setAutoRec(true);
    startEngine();
    advance(0.5);
    EXPECT_TRUE(recorder.calls.empty());  // no output device yet
    EXPECT_EQ(recorder.ticks, 0);

    const AudioObjectID speakers = addOutputDevice("speakers", 2, 44100);
    hardware.setDefaultOutputDevice(speakers);
    advance(1.0);
    EXPECT_EQ(recorder.calls, (std::vector<QString>{"start 44100"}));
    EXPECT_GE(recorder.ticks, 25);  // the recorder's take decision, once per tick

    // Off: capture ends with its auto-recorded take; "autoRec" is written on every assignment.
    engine().setAutoRec(false);
    EXPECT_EQ(recorder.calls.back(), "stop");
    defaults().remove("autoRec");
    engine().setAutoRec(false);
    EXPECT_EQ(defaults().boolValue("autoRec"), false);
    const int ticks = recorder.ticks;
    advance(0.5);
    EXPECT_EQ(recorder.ticks, ticks);

    // A rate that cannot be read: 48 kHz.
    hardware.failEvery({SimulatedHardware::Call::Data, speakers, hal::kNominalSampleRate, std::nullopt}, -1);
    recorder.calls.clear();
    engine().setAutoRec(true);
    advance(0.1);
    EXPECT_EQ(recorder.calls, (std::vector<QString>{"start 48000"}));
    hardware.clearFaults();
}

}  // namespace
}  // namespace quellor::test
