#include <gmock/gmock.h>

#include <QFile>
#include <QTemporaryDir>

#include "SimulatedHardwareFixture.h"
#include "platform/SimulatedWorld.h"

namespace quellor::test {
namespace {

using namespace hal;
using ::testing::HasSubstr;

class SimulatedWorldTest : public SimulatedHardwareTest {};

// Every optional member set, so that a round trip has something to lose.
SimulatedWorld fullWorld() {
    SimulatedWorld world = SimulatedWorld::builtIn();
    SimulatedDevice aggregate;
    aggregate.uid = "agg";
    aggregate.name = "Aggregate";
    aggregate.transport = kTransportAggregate;
    aggregate.output.streams.channelsPerBuffer = {2, 6};
    aggregate.output.dataSource = fourCC("hdpn");
    aggregate.input.streams.channelsPerBuffer = {1};
    aggregate.input.mute = SimulatedDevice::Mute{true, false};
    aggregate.input.volumeScalar = SimulatedDevice::Volume{0.123f, false};
    aggregate.subDeviceUIDs = {"BuiltInSpeakerDevice", "USB-Interface-8x8"};
    aggregate.bufferFrameSizeRange = {64, 1024};
    aggregate.alive = false;
    aggregate.runningSomewhere = true;
    world.devices.push_back(aggregate);
    world.defaultInputUID = "agg";
    world.processes.push_back({SimulatedProcess{4200, "com.example.helper", "Helper", false, true, 4101},
                               SimulatedWorld::Tone{SimulatedWorld::Tone::Kind::dc, 440.0, 0.25f, -0.5f}});
    world.bluetooth.push_back({"aa-bb", "Speaker", 5, false, {}});
    world.capturePermission = false;
    return world;
}

TEST_F(SimulatedWorldTest, RoundTripsThroughAFile) {
    QTemporaryDir dir;
    QString path = dir.filePath("world.json");
    QString error;
    for (const auto& world : {SimulatedWorld::builtIn(), fullWorld(), SimulatedWorld{}}) {
        ASSERT_TRUE(world.save(path, error)) << error.toStdString();
        auto loaded = SimulatedWorld::load(path, error);
        ASSERT_TRUE(loaded) << error.toStdString();
        EXPECT_EQ(*loaded, world) << world.toJson().toStdString();
    }
}

TEST_F(SimulatedWorldTest, TheBuiltInWorldStartsOnTheUsbInterfaceWithTonesPlaying) {
    SimulatedWorld::builtIn().populate(hw);
    auto name = [&](AudioObjectID id) { return std::get<QString>(*hw.property(id, {kName})); };
    auto outputs = [&](AudioObjectID id) {
        return std::get<StreamConfiguration>(*hw.property(id, {kStreamConfiguration, kScopeOutput})).totalChannels();
    };
    auto transport = [&](AudioObjectID id) { return std::get<std::uint32_t>(*hw.property(id, {kTransportType})); };

    ASSERT_EQ(hw.deviceIDs().size(), 3u);
    AudioObjectID builtIn = hw.deviceIDs()[0], usb = hw.defaultOutputDevice(), headset = hw.deviceIDs()[2];
    EXPECT_EQ(name(builtIn), "Built-in Output");
    EXPECT_EQ(outputs(builtIn), 2u);
    EXPECT_EQ(outputs(usb), 8u);
    EXPECT_EQ(transport(usb), kTransportUSB);
    EXPECT_EQ(hw.defaultInputDevice(), usb);
    EXPECT_EQ(transport(headset), kTransportBluetooth);
    EXPECT_EQ(outputs(headset), 2u);

    int playing = 0;
    for (auto id : hw.processIDs()) playing += hw.process(id)->runningOutput;
    EXPECT_GE(playing, 2);
}

TEST_F(SimulatedWorldTest, AnInvalidDescriptionNamesTheWrongMember) {
    struct Case { const char* json; const char* message; };
    for (auto c : {
             Case{"{\"devices\": [", "not valid JSON"},
             Case{"[]", "the top level must be an object"},
             Case{R"({"devices": {}})", "devices: expected an array"},
             Case{R"({"devices": [{"name": "x"}]})", "devices[0].uid: missing"},
             Case{R"({"devices": [{"uid": "a", "name": "A", "transport": "usb"}]})", "devices[0].transport: expected a four-character code"},
             Case{R"({"devices": [{"uid": "a", "name": "A", "output": {"streams": [2, 1.5]}}]})", "devices[0].output.streams[1]: expected a whole number"},
             Case{R"({"devices": [{"uid": "a", "name": "A", "output": {"volume": {"value": 2}}}]})", "devices[0].output.volume.value: expected a number from 0 to 1"},
             Case{R"({"devices": [{"uid": "a", "name": "A"}, {"uid": "a", "name": "B"}]})", "devices[1].uid: \"a\" is used twice"},
             Case{R"({"devices": [{"uid": "a", "name": "A", "subDevices": ["b"]}]})", "devices[0].subDevices: only an aggregate"},
             Case{R"({"devices": [{"uid": "a", "name": "A"}], "defaultOutput": "b"})", "defaultOutput: no device has the uid \"b\""},
             Case{R"({"processes": [{"pid": "12"}]})", "processes[0].pid: expected a process id"},
             Case{R"({"processes": [{"pid": 12, "tone": {"kind": "square"}}]})", "processes[0].tone.kind: expected \"sine\", \"dc\" or \"silence\""},
             Case{R"({"bluetooth": [{"name": "x"}]})", "bluetooth[0].address: missing"},
             // Sizes the simulation would allocate for every IO cycle: refused, not a crash at start.
             Case{R"({"devices": [{"uid": "a", "name": "A", "output": {"streams": [100000000]}}]})", "devices[0].output.streams[0]: expected a whole number from 0 to 128"},
             Case{R"({"devices": [{"uid": "a", "name": "A", "input": {"streams": [100, 29]}}]})", "devices[0].input.streams: expected at most 128 channels in all"},
             Case{R"({"devices": [{"uid": "a", "name": "A", "bufferFrameSize": 4294967295}]})", "devices[0].bufferFrameSize: expected a whole number from 0 to 16384"},
             Case{R"({"devices": [{"uid": "a", "name": "A", "bufferFrameSizeRange": [1e300, 1e301]}]})", "devices[0].bufferFrameSizeRange: expected [minimum, maximum] from 0 to 16384"},
             Case{R"({"devices": [{"uid": "a", "name": "A", "bufferFrameSizeRange": [-1, 512]}]})", "devices[0].bufferFrameSizeRange: expected [minimum, maximum]"},
         }) {
        QString error;
        EXPECT_FALSE(SimulatedWorld::fromJson(c.json, error)) << c.json;
        EXPECT_THAT(error.toStdString(), HasSubstr(c.message)) << c.json;
    }

    QString error;
    EXPECT_FALSE(SimulatedWorld::load("/nonexistent/world.json", error));
    EXPECT_THAT(error.toStdString(), HasSubstr("/nonexistent/world.json: cannot read"));
}

TEST_F(SimulatedWorldTest, ADeviceAtTheLimitsPlaysThroughATappedAggregate) {
    QString error;
    auto world = SimulatedWorld::fromJson(R"({"devices": [{"uid": "big", "name": "Big",
        "output": {"streams": [64, 64]}, "input": {"streams": [128]},
        "bufferFrameSize": 16384, "bufferFrameSizeRange": [0, 16384]}],
        "processes": [{"pid": 7, "playing": true, "tone": {"kind": "dc", "value": 0.5}}]})", error);
    ASSERT_TRUE(world) << error.toStdString();
    world->populate(hw);
    const AudioObjectID big = hw.defaultOutputDevice();
    TapDescription tap;
    tap.processes = hw.processIDs();
    tap.uuid = "T";
    AudioObjectID tapID = 0, aggregate = 0;
    ASSERT_EQ(hw.createProcessTap(tap, tapID), kStatusOK);
    const QVariantMap description{{"name", "agg"}, {"uid", "agg"}, {"master", "big"}, {"clock", "big"},
                                  {"private", true}, {"tapautostart", true},
                                  {"subdevices", QVariantList{QVariantMap{{"uid", "big"}, {"drift", false}}}},
                                  {"taps", QVariantList{QVariantMap{{"uid", "T"}, {"drift", true}}}}};
    ASSERT_EQ(hw.createAggregateDevice(description, aggregate), kStatusOK);
    std::uint32_t cycleFrames = 0;
    IOProcID proc = 0;
    hw.createIOProc(aggregate, [&](const AudioTimeStamp&, const IOBufferList& in, const AudioTimeStamp&,
                                   const IOBufferList& out, const AudioTimeStamp&) {
        cycleFrames = std::uint32_t(out[0].sampleCount() / out[0].channels);
        for (const IOBuffer& b : out)
            for (std::size_t i = 0; i < b.sampleCount(); ++i) b.samples()[i] = in.last()->samples()[0];
    }, proc);
    ASSERT_EQ(hw.startDevice(aggregate, proc), kStatusOK);
    hw.io().setCapturing(true);
    hw.io().advance(16384);
    EXPECT_EQ(cycleFrames, 16384u);
    const auto capture = hw.io().capture(big);
    ASSERT_EQ(capture.peak.size(), 128u);
    EXPECT_FLOAT_EQ(capture.peak[127], 0.5f);
}

}  // namespace
}  // namespace quellor::test
