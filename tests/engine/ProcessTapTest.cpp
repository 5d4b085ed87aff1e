// ProcessTap against the simulated hardware: what it creates, how each failed step leaves it, the
// order of teardown, buffer size and format checks, and a process heard through its tap.
#include <cmath>
#include <vector>

#include "TestEnvironment.h"
#include "audio/HALError.h"
#include "engine/ProcessTap.h"
#include "platform/SimulatedHardware.h"

namespace quellor {
namespace {

using Call = SimulatedHardware::Call;

SimulatedDevice device(const char* uid, std::vector<std::uint32_t> streams, std::vector<std::uint32_t> inputs = {}) {
    SimulatedDevice d;
    d.uid = uid;
    d.name = uid;
    d.output.streams.channelsPerBuffer = std::move(streams);
    d.input.streams.channelsPerBuffer = std::move(inputs);
    d.bufferFrameSize = 256;
    d.bufferFrameSizeRange = {128, 4096};
    return d;
}

class ProcessTapTest : public test::QuellorTest {
protected:
    ProcessTapTest() {
        AudioHardware::install(&hw);
        speakers = hw.addDevice(device("speakers", {2}));
        iface = hw.addDevice(device("interface", {8}, {2}));
        player = hw.addProcess({4101, "org.example.player", "Player", true, false, 0});
        hw.io().setTone(player, {SimulatedWorld::Tone::Kind::dc, 0, 0, 0.5f});
        hw.io().setCapturing(true);
    }
    ~ProcessTapTest() override {
        tap.reset();
        AudioHardware::install(nullptr);
    }
    ProcessTap& makeTap(float volume = 0.5f, std::vector<AudioObjectID> processes = {}) {
        tap = std::make_unique<ProcessTap>(volume, 1.0f, processes.empty() ? std::vector{player} : processes, false);
        return *tap;
    }
    ProcessTap::Output out(AudioObjectID id) { return {std::get<QString>(*hw.property(id, {hal::kDeviceUID})), id}; }
    QVariantMap description() { return hw.io().aggregate(tap->aggregateID())->description; }

    SimulatedHardware hw;
    AudioObjectID speakers = 0, iface = 0, player = 0;
    std::unique_ptr<ProcessTap> tap;
};

TEST_F(ProcessTapTest, DescribesItsTapAndAggregate) {
    makeTap().start({out(speakers)}, ProcessTap::BusLayout{0, 2, 2});
    const QString first = QString::number(player);
    const TapDescription t = *hw.io().tap(tap->tapID());
    EXPECT_EQ(t.name, "Quellor tap #" + first);
    EXPECT_EQ(t.processes, std::vector{player});
    EXPECT_FALSE(t.mono);
    EXPECT_TRUE(t.isPrivate);
    EXPECT_EQ(t.muteBehavior, TapDescription::MuteBehavior::mutedWhenTapped);
    const QVariantMap d = description();
    EXPECT_EQ(d["name"].toString(), "Quellor aggregate #" + first);
    EXPECT_EQ(d["master"].toString(), "speakers");
    EXPECT_EQ(d["clock"].toString(), "speakers");
    EXPECT_TRUE(d["private"].toBool());
    EXPECT_TRUE(d["tapautostart"].toBool());
    EXPECT_FALSE(d.contains("stacked"));
    EXPECT_EQ(d["taps"].toList(), (QVariantList{QVariantMap{{"uid", t.uuid}, {"drift", true}}}));
    EXPECT_TRUE(tap->pairedBuses());
    EXPECT_NEAR(tap->rampCoefficient(), 0.000694, 0.000001);
    EXPECT_EQ(tap->activatedSampleRate(), 48000.0);

    // A second start changes nothing.
    const AudioObjectID aggregate = tap->aggregateID();
    tap->start({out(iface)});
    EXPECT_EQ(tap->aggregateID(), aggregate);
    EXPECT_EQ(hw.io().aggregates().size(), 1u);
}

TEST_F(ProcessTapTest, TwoOutputsAreStackedWithDriftOnTheSecondAndNoPairing) {
    defaults().setBool("minLatencyMode", true);
    tap = std::make_unique<ProcessTap>(0.5f, 1.0f, std::vector<AudioObjectID>{}, false);
    tap->start({out(iface), out(speakers)}, ProcessTap::BusLayout{4, 6, 2});
    const QVariantMap d = description();
    EXPECT_TRUE(d["stacked"].toBool());
    EXPECT_EQ(d["name"].toString(), "Quellor aggregate #0");
    EXPECT_EQ(hw.io().tap(tap->tapID())->name, "Quellor tap #0");
    EXPECT_EQ(d["subdevices"].toList(), (QVariantList{QVariantMap{{"uid", "interface"}, {"drift", false}},
                                                      QVariantMap{{"uid", "speakers"}, {"drift", true}}}));
    EXPECT_FALSE(d["taps"].toList()[0].toMap()["drift"].toBool());  // minimum latency: no drift correction
    EXPECT_FALSE(tap->pairedBuses());
    EXPECT_EQ(tap->mainOffset(), 0);
    EXPECT_EQ(tap->phonesOffset(), 2);
}

TEST_F(ProcessTapTest, EachFailedStepThrowsAndLeavesWhatWasCreatedUntilStop) {
    struct Case { Call call; const char* operation; bool tap, aggregate, proc; };
    const Case cases[] = {
        {Call::CreateTap, "create process tap", false, false, false},
        {Call::CreateAggregate, "create aggregate device", true, false, false},
        {Call::CreateIOProc, "create IO proc", true, true, false},
        {Call::StartDevice, "start aggregate device", true, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.operation);
        makeTap();
        hw.failNext({.call = c.call}, -50);
        try {
            tap->start({out(speakers)});
            ADD_FAILURE() << "no error";
        } catch (const HALError& e) {
            EXPECT_EQ(e.description(), QString("Failed to %1: OSStatus -50").arg(c.operation));
        }
        EXPECT_EQ(tap->tapID() != 0, c.tap);
        EXPECT_EQ(tap->aggregateID() != 0, c.aggregate);
        EXPECT_EQ(tap->procID().has_value(), c.proc);
        EXPECT_EQ(hw.io().taps().size(), c.tap ? 1u : 0u);

        // Starting again tears the leftovers down first: one tap and one aggregate, no leak.
        tap->start({out(speakers)});
        EXPECT_EQ(hw.io().taps().size(), 1u);
        EXPECT_EQ(hw.io().aggregates().size(), 1u);
        tap->stop();
        EXPECT_TRUE(hw.io().taps().empty());
        EXPECT_TRUE(hw.io().aggregates().empty());
        EXPECT_EQ(tap->tapID(), 0u);
        EXPECT_FALSE(tap->procID());
    }
}

TEST_F(ProcessTapTest, TeardownStopsThenDestroysProcAggregateAndTap) {
    makeTap().start({out(speakers)});
    std::vector<Call> order;
    for (Call c : {Call::StopDevice, Call::DestroyIOProc, Call::DestroyAggregate, Call::DestroyTap})
        hw.beforeNext({.call = c}, [&order, c] { order.push_back(c); });
    tap.reset();  // release runs the same teardown as stop
    EXPECT_EQ(order, (std::vector{Call::StopDevice, Call::DestroyIOProc, Call::DestroyAggregate, Call::DestroyTap}));
    EXPECT_TRUE(hw.io().aggregates().empty());
}

TEST_F(ProcessTapTest, BufferSizeRequestIsClampedToTheRangeAndReported) {
    makeTap().start({out(speakers)});
    EXPECT_FALSE(logs.containsText("BUFCHK"));  // automatic: nothing written
    EXPECT_TRUE(hw.mutations().empty());
    tap->stop();

    defaults().setInteger("ioBufferFrames", 64);
    tap->start({out(speakers)});
    EXPECT_TRUE(logs.contains("ProcessTap", LogLevel::Default, "BUFCHK requested=64 actual=128"));
    EXPECT_EQ(std::get<std::uint32_t>(*hw.property(tap->aggregateID(), {hal::kBufferFrameSize})), 128u);
}

TEST_F(ProcessTapTest, NonFloatStreamPassesTheAudioThroughUntouched) {
    StreamFormat pcm16 = StreamFormat::float32(48000, 2);
    pcm16.formatFlags = 0;
    pcm16.bitsPerChannel = 16;
    hw.io().overrideAggregateFormat(pcm16);
    makeTap(0.5f).start({out(speakers)});
    EXPECT_FALSE(tap->isFloat32());
    EXPECT_TRUE(logs.contains("ProcessTap", LogLevel::Error,
                              "Aggregate stream is not Float32 PCM; gain disabled, passing through"));
    hw.io().advance(1024);
    EXPECT_EQ(hw.io().capture(speakers).peak, (std::vector<float>{0.5f, 0.5f}));  // no gain, no double
}

TEST_F(ProcessTapTest, LevelsPeaksAndLiveness) {
    ProcessTap& t = makeTap();
    t.setVolume(1.5f);
    EXPECT_EQ(t.volume(), 1.0f);
    t.setVolume(-0.2f);
    EXPECT_EQ(t.volume(), 0.0f);
    t.setVolume(0.5f);
    EXPECT_FALSE(t.isAggregateAlive());
    EXPECT_TRUE(t.isProcessOutputting());
    t.start({out(speakers)});
    EXPECT_TRUE(t.isAggregateAlive());
    hw.io().advance(512);
    EXPECT_EQ(t.takePeak(), 0.0625f);
    EXPECT_EQ(t.takePeak(), 0.0f);
    hw.io().kill(t.aggregateID());
    EXPECT_FALSE(t.isAggregateAlive());
    hw.setProcessRunning(player, false, false);
    EXPECT_FALSE(t.isProcessOutputting());
}

TEST_F(ProcessTapTest, TapBuiltDuringPanicIsSilentFromItsFirstCycle) {
    ProcessTap& t = makeTap(1.0f);
    t.setPanicked(true);
    t.start({out(speakers)});
    hw.io().advance(256);
    EXPECT_EQ(hw.io().capture(speakers).peak, (std::vector<float>{0.0f, 0.0f}));
}

TEST_F(ProcessTapTest, ProcessHeardThroughItsTapAtFaderHalf) {
    hw.io().advance(512);
    EXPECT_EQ(hw.io().capture(speakers).peak[0], 0.5f);  // untapped: plays directly

    ProcessTap& t = makeTap(1.0f);
    t.start({out(speakers)});
    t.setVolume(0.5f);  // ramps from 1 towards 0.125
    EXPECT_TRUE(hw.io().isProcessSilenced(player));
    hw.io().clearCaptures();
    hw.io().advance(48000);  // one second: 33 time constants
    hw.io().clearCaptures();
    hw.io().advance(4096);
    const auto cap = hw.io().capture(speakers);
    for (int ch = 0; ch < 2; ++ch)
        for (float v : cap.samples[ch]) ASSERT_EQ(v, 0.125f * 0.5f);  // nothing reaches it directly

    advance(1.0);  // the diagnostics drain runs on the main thread
    EXPECT_TRUE(logs.contains("ProcessTap", LogLevel::Default, "SHAPE out[1]: 2ch/2048B | in[1]: 2ch/2048B | float32=true"));

    t.stop();
    EXPECT_FALSE(hw.io().isProcessSilenced(player));
}

}  // namespace
}  // namespace quellor
