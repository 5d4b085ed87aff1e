// The sound side of the simulated hardware: aggregate validation and properties, the shape and
// timing of an IO cycle, tap muting, captures, permission, stalls, kills and the real-time driver.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <numbers>
#include <thread>

#include "TestEnvironment.h"
#include "platform/SimulatedHardware.h"

namespace quellor {
namespace {

using Tone = SimulatedWorld::Tone;

class SimulatedIOTest : public test::QuellorTest {
protected:
    SimulatedIOTest() {
        SimulatedDevice a;
        a.uid = "a";
        a.output.streams.channelsPerBuffer = {2, 4};
        a.input.streams.channelsPerBuffer = {1};
        a.bufferFrameSize = 128;
        devA = hw.addDevice(a);
        SimulatedDevice b;
        b.uid = "b";
        b.output.streams.channelsPerBuffer = {2};
        b.sampleRate = 44100;
        devB = hw.addDevice(b);
        proc = hw.addProcess({100, "org.example.p", "P", true, false, 0});
        hw.io().setTone(proc, {Tone::Kind::sine, 1000.0, 0.5f, 0});
        hw.io().setProcessDevice(proc, devB);
    }
    AudioObjectID makeTap(const QString& uuid = "T1") {
        TapDescription t;
        t.processes = {proc};
        t.uuid = uuid;
        t.muteBehavior = TapDescription::MuteBehavior::mutedWhenTapped;
        AudioObjectID id = 0;
        EXPECT_EQ(hw.createProcessTap(t, id), hal::kStatusOK);
        return id;
    }
    QVariantMap description() {
        return {{"name", "agg"}, {"uid", "agg-1"}, {"master", "a"}, {"clock", "a"}, {"private", true},
                {"tapautostart", true},
                {"subdevices", QVariantList{QVariantMap{{"uid", "a"}, {"drift", false}},
                                            QVariantMap{{"uid", "b"}, {"drift", true}}}},
                {"taps", QVariantList{QVariantMap{{"uid", "T1"}, {"drift", true}}}},
                {"stacked", true}};
    }
    SimulatedHardware hw;
    AudioObjectID devA = 0, devB = 0, proc = 0;
};

TEST_F(SimulatedIOTest, AggregateDescriptionsAreValidated) {
    makeTap();
    struct Case { const char* what; QString key; QVariant value; OSStatus status; };
    const Case cases[] = {
        {"no name", "name", QVariant(), hal::kStatusIllegalOperation},
        {"master not a sub-device", "master", "zz", hal::kStatusIllegalOperation},
        {"private not a bool", "private", "yes", hal::kStatusIllegalOperation},
        {"unknown sub-device", "subdevices", QVariantList{QVariantMap{{"uid", "zz"}, {"drift", false}}}, hal::kStatusIllegalOperation},
        {"unknown tap", "taps", QVariantList{QVariantMap{{"uid", "nope"}, {"drift", true}}}, hal::kStatusBadObject},
        {"drift missing", "taps", QVariantList{QVariantMap{{"uid", "T1"}}}, hal::kStatusIllegalOperation},
    };
    for (const Case& c : cases) {
        QVariantMap d = description();
        if (c.value.isValid()) d[c.key] = c.value;
        else d.remove(c.key);
        AudioObjectID id = 0;
        EXPECT_EQ(hw.createAggregateDevice(d, id), c.status) << c.what;
    }
    AudioObjectID agg = 0;
    ASSERT_EQ(hw.createAggregateDevice(description(), agg), hal::kStatusOK);
    AudioObjectID again = 0;
    EXPECT_EQ(hw.createAggregateDevice(description(), again), hal::kStatusIllegalOperation);  // uid taken
    EXPECT_EQ(std::get<double>(*hw.property(agg, {hal::kNominalSampleRate})), 48000.0);
    EXPECT_EQ(std::get<std::uint32_t>(*hw.property(agg, {hal::kBufferFrameSize})), 128u);
    EXPECT_EQ(std::get<StreamFormat>(*hw.property(agg, {hal::kStreamFormat, hal::kScopeOutput})),
              StreamFormat::float32(48000, 8));
    hw.setNominalSampleRate(devA, 96000);  // follows its clock device
    EXPECT_EQ(std::get<double>(*hw.property(agg, {hal::kNominalSampleRate})), 96000.0);
    EXPECT_EQ(std::get<std::uint32_t>(*hw.property(agg, {hal::kDeviceIsAlive})), 1u);
}

TEST_F(SimulatedIOTest, IOCycleListsSubDeviceStreamsThenTheTapAndMutesTheTappedProcess) {
    hw.io().setCapturing(true);
    makeTap();
    AudioObjectID agg = 0;
    ASSERT_EQ(hw.createAggregateDevice(description(), agg), hal::kStatusOK);
    std::vector<std::vector<std::uint32_t>> inShapes, outShapes;
    std::vector<double> times;
    IOProcID id = 0;
    hw.createIOProc(agg, [&](const AudioTimeStamp& now, const IOBufferList& in, const AudioTimeStamp&,
                             const IOBufferList& out, const AudioTimeStamp&) {
        std::vector<std::uint32_t> i, o;
        for (auto& b : in) i.push_back(b.channels);
        for (auto& b : out) o.push_back(b.channels);
        inShapes.push_back(i);
        outShapes.push_back(o);
        times.push_back(now.sampleTime);
        for (auto& b : out)  // play the tap on every channel of every stream
            for (std::size_t f = 0; f < b.sampleCount() / b.channels; ++f)
                for (std::uint32_t c = 0; c < b.channels; ++c) b.samples()[f * b.channels + c] = in.last()->samples()[f * 2];
    }, id);
    EXPECT_FALSE(hw.io().isProcessSilenced(proc));  // tap exists but nothing reads it
    hw.io().advance(256);
    EXPECT_NEAR(hw.io().capture(devB).rms(0), 0.5 / std::sqrt(2.0), 0.01);  // plays directly

    ASSERT_EQ(hw.startDevice(agg, id), hal::kStatusOK);
    EXPECT_TRUE(hw.io().isProcessSilenced(proc));
    hw.io().clearCaptures();
    hw.io().advance(256);
    EXPECT_EQ(inShapes.back(), (std::vector<std::uint32_t>{1, 2}));     // a's input, then the tap
    EXPECT_EQ(outShapes.back(), (std::vector<std::uint32_t>{2, 4, 2}));  // a's two streams, then b
    EXPECT_EQ(times, (std::vector<double>{256, 384}));                   // 128-frame cycles
    const auto a = hw.io().capture(devA), b = hw.io().capture(devB);
    EXPECT_EQ(a.peak.size(), 6u);
    EXPECT_NEAR(a.peak[5], 0.5f, 0.01f);
    EXPECT_NEAR(b.rms(1), 0.5 / std::sqrt(2.0), 0.01);  // through the tap only, not twice

    hw.io().setStalled(agg, true);
    hw.io().advance(256);
    EXPECT_EQ(times.size(), 2u);
    EXPECT_TRUE(hw.io().isProcessSilenced(proc));  // a stalled device still holds its tap
    hw.io().kill(agg);
    EXPECT_FALSE(hw.io().isProcessSilenced(proc));
    EXPECT_EQ(std::get<std::uint32_t>(*hw.property(agg, {hal::kDeviceIsAlive})), 0u);
}

TEST_F(SimulatedIOTest, DevicesAreCapturedOnlyWhenAskedAndOnlyTheLatestFramesAreKept) {
    hw.io().advance(256);
    EXPECT_EQ(hw.io().capture(devB).frames, 0u);  // nobody asked: nothing is kept

    hw.io().setCapturing(true);
    const std::uint64_t total = 3 * SimulatedIO::kMaxCapturedFrames + 100;
    for (std::uint64_t done = 0; done < total; done += 4096) hw.io().advance(std::uint32_t(std::min<std::uint64_t>(4096, total - done)));
    const auto cap = hw.io().capture(devB);
    EXPECT_EQ(cap.frames, total);
    ASSERT_EQ(cap.samples.size(), 2u);
    ASSERT_EQ(cap.samples[0].size(), SimulatedIO::kMaxCapturedFrames);
    // The process plays its sine straight on b, the world's frame index its phase.
    auto played = [](std::uint64_t frame) {
        return float(0.5 * std::sin(2.0 * std::numbers::pi * 1000.0 * double(frame) / 44100.0));
    };
    const std::uint64_t now = hw.io().now();
    EXPECT_EQ(cap.samples[0].back(), played(now - 1));
    EXPECT_EQ(cap.samples[0].front(), played(now - SimulatedIO::kMaxCapturedFrames));

    hw.io().setCapturing(false);
    hw.io().advance(256);
    EXPECT_EQ(hw.io().capture(devB).frames, 0u);
}

TEST_F(SimulatedIOTest, RefusedCapturePermissionFailsTapCreation) {
    hw.io().setCapturePermission(false);
    TapDescription t;
    t.uuid = "X";
    AudioObjectID id = 0;
    EXPECT_EQ(hw.createProcessTap(t, id), hal::kStatusNotPermitted);
    EXPECT_TRUE(hw.io().taps().empty());
}

TEST_F(SimulatedIOTest, StopReturnsOnlyOnceNoCallIsInFlight) {
    makeTap();
    AudioObjectID agg = 0;
    ASSERT_EQ(hw.createAggregateDevice(description(), agg), hal::kStatusOK);
    std::atomic<bool> inFlight{false};
    std::atomic<int> calls{0};
    IOProcID id = 0;
    hw.createIOProc(agg, [&](auto&, auto&, auto&, auto&, auto&) {
        inFlight = true;
        ++calls;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        inFlight = false;
    }, id);
    hw.startDevice(agg, id);
    hw.io().startRealTimeDriver(128);
    while (!inFlight) std::this_thread::yield();
    ASSERT_EQ(hw.stopDevice(agg, id), hal::kStatusOK);
    EXPECT_FALSE(inFlight.load());
    const int after = calls;
    hw.io().advance(1024);
    hw.io().stopDrivers();
    EXPECT_EQ(calls.load(), after);
}

}  // namespace
}  // namespace quellor
