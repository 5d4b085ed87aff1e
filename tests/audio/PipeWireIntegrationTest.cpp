// The device monitor, process monitor and volume controller on a real PipeWire server of the test's
// own (PrivatePipeWire), driven and checked with the desktop's own tools.
#include <gtest/gtest.h>

#include <QRegularExpression>
#include <algorithm>
#include <cmath>
#include <map>

#include "PipeWireHardwareFixture.h"
#include "audio/AudioDeviceMonitor.h"
#include "audio/AudioProcessMonitor.h"
#include "audio/DeviceVolumeController.h"
#include "audio/HALProperties.h"
#include "audio/VolumeWriteQueue.h"
#include "platform/PipeWireHardware.h"
#include "platform/ProcRunningApplications.h"

namespace quellor::test {
namespace {

class PipeWireIntegrationTest : public PipeWireHardwareFixture {
protected:
    static const AudioDevice* device(const AudioDeviceMonitor& monitor, const char* uid) {
        for (const auto& d : monitor.devices())
            if (d.uid == QLatin1String(uid)) return &d;
        return nullptr;
    }
    static bool listsBothSinks(const AudioDeviceMonitor& monitor) {
        return device(monitor, PrivatePipeWire::kStereoSink) && device(monitor, PrivatePipeWire::kQuadSink);
    }

    // "Volume: 0.25" or "Volume: 0.25 [MUTED]" as wpctl prints it; -1 when unreadable.
    double wpctlVolume(int node) {
        auto match = QRegularExpression(R"(Volume: ([0-9.]+))").match(pipewire_->run("wpctl", {"get-volume", QString::number(node)}));
        return match.hasMatch() ? match.captured(1).toDouble() : -1.0;
    }
};

TEST_F(PipeWireIntegrationTest, NullSinksAreOutputDevicesWithTheirChannelsAndTheGraphRate) {
    AudioDeviceMonitor monitor(AudioDirection::output, defaults());
    // A volume controller made the moment a device shows takes its capabilities then: they are
    // there from the first sight.
    std::map<QString, bool> settableAtFirstSight;
    QObject::connect(&monitor, &AudioDeviceMonitor::devicesChanged, [&] {
        for (const auto& d : monitor.devices())
            settableAtFirstSight.emplace(d.uid, isPropertySettable(hal::kVirtualMainVolume, hal::kScopeOutput, d.id));
    });
    monitor.start();
    ASSERT_TRUE(eventually([&] { return listsBothSinks(monitor); }));

    struct Case { const char* uid; const char* name; int channels; };
    for (const Case& c : {Case{PrivatePipeWire::kStereoSink, "Test Stereo", 2}, Case{PrivatePipeWire::kQuadSink, "Test Quad", 4}}) {
        SCOPED_TRACE(c.uid);
        const AudioDevice& d = *device(monitor, c.uid);
        EXPECT_EQ(d.name, c.name);
        EXPECT_EQ(d.outputChannels, c.channels);
        EXPECT_EQ(d.transport, hal::kTransportVirtual);
        double rate = 0;
        readHALProperty64(hal::kNominalSampleRate, hal::kScopeGlobal, rate, d.id);
        EXPECT_EQ(rate, 48000.0);
        std::uint32_t frames = 0;
        readHALProperty32(hal::kBufferFrameSize, hal::kScopeGlobal, frames, d.id);
        EXPECT_GT(frames, 0u);
        EXPECT_TRUE(settableAtFirstSight[c.uid]);
        EXPECT_FALSE(isPropertySettable(hal::kNominalSampleRate, hal::kScopeGlobal, d.id));
    }
    // Sinks are not inputs, and the session manager's default is ours.
    AudioDeviceMonitor inputs(AudioDirection::input, defaults());
    inputs.start();
    EXPECT_TRUE(inputs.devices().empty());
    ASSERT_TRUE(eventually([&] { return monitor.defaultDeviceID() != 0; }));
    const QString status = pipewire_->run("wpctl", {"inspect", "@DEFAULT_AUDIO_SINK@"});
    EXPECT_TRUE(status.contains(stringProperty(monitor.defaultDeviceID(), hal::kDeviceUID))) << status.toStdString();
}

TEST_F(PipeWireIntegrationTest, PlayersAreApplicationsWithTheirProcessIdsWhileTheyPlay) {
    ProcRunningApplications running;
    AudioProcessMonitor monitor(running);
    monitor.start();
    const QString tone = pipewire_->toneFile();
    // One player speaks PipeWire's own protocol, the other goes through the PulseAudio server.
    QProcess& native = pipewire_->launch("pw-play", {tone});
    QProcess& pulse = pipewire_->launch("paplay", {tone});
    const std::vector<std::int32_t> pids{std::int32_t(native.processId()), std::int32_t(pulse.processId())};
    auto app = [&](std::int32_t pid) -> const AudioApp* {
        for (const auto& a : monitor.apps())
            if (a.id == pid) return &a;
        return nullptr;
    };
    ASSERT_TRUE(eventually([&] {
        return std::all_of(pids.begin(), pids.end(), [&](std::int32_t pid) { return app(pid) && app(pid)->isPlaying; });
    })) << "apps listed: " << monitor.apps().size();
    EXPECT_EQ(app(pids[0])->name, "pw-play");
    EXPECT_EQ(app(pids[1])->name, "paplay");

    native.kill();
    pulse.kill();
    EXPECT_TRUE(eventually([&] { return !app(pids[0]) && !app(pids[1]); }));
}

TEST_F(PipeWireIntegrationTest, ALevelMeterIsNoApplication) {
    // Two recorders alike but for the mark the desktop's meters carry.
    QProcess& recorder = pipewire_->launch("pw-record", {pipewire_->toneFile() + ".rec.wav"});
    QProcess& meter = pipewire_->launch("pw-record", {"-P", "{ stream.monitor = true }", pipewire_->toneFile() + ".meter.wav"});
    auto processObject = [&](qint64 pid) {
        for (std::uint32_t object : readUInt32ArrayProperty(hal::kProcessObjectList, hal::kScopeGlobal, hal::kSystemObject)) {
            std::int32_t p = 0;
            readHALProperty32(hal::kProcessPID, hal::kScopeGlobal, p, object);
            if (p == pid) return true;
        }
        return false;
    };
    ASSERT_TRUE(eventually([&] { return processObject(recorder.processId()); }));
    // Both streams were made by then; one more round trip lets anything still on its way arrive.
    pipewire_->run("wpctl", {"status"});
    advance(0.1);
    EXPECT_FALSE(processObject(meter.processId()));
}

TEST_F(PipeWireIntegrationTest, VolumeAndMuteTravelBetweenWpctlAndTheVolumeController) {
    AudioDeviceMonitor monitor(AudioDirection::output, defaults());
    monitor.start();
    ASSERT_TRUE(eventually([&] { return listsBothSinks(monitor); }));
    const int node = pipewire_->nodeID(PrivatePipeWire::kQuadSink);
    ASSERT_NE(node, 0);
    VolumeWriteQueue queue;
    DeviceVolumeController controller(device(monitor, PrivatePipeWire::kQuadSink)->id, &queue);

    pipewire_->run("wpctl", {"set-volume", QString::number(node), "0.5"});
    EXPECT_TRUE(eventually([&] { return std::abs(controller.volume() - 0.5f) < 0.01f; })) << controller.volume();
    pipewire_->run("wpctl", {"set-mute", QString::number(node), "1"});
    EXPECT_TRUE(eventually([&] { return controller.isMuted(); }));

    controller.setVolume(0.25f);
    EXPECT_TRUE(eventually([&] { return std::abs(wpctlVolume(node) - 0.25) < 0.01; })) << wpctlVolume(node);
    // A level above zero unmutes, as the controller's own write says.
    EXPECT_TRUE(eventually([&] { return !pipewire_->run("wpctl", {"get-volume", QString::number(node)}).contains("MUTED"); }));
    // The other sink is left as it was.
    EXPECT_NEAR(wpctlVolume(pipewire_->nodeID(PrivatePipeWire::kStereoSink)), 1.0, 0.01);
}

TEST_F(PipeWireIntegrationTest, TheDefaultOutputSetHereIsTheDesktopDefault) {
    AudioDeviceMonitor monitor(AudioDirection::output, defaults());
    monitor.start();
    ASSERT_TRUE(eventually([&] { return listsBothSinks(monitor); }));
    for (const char* uid : {PrivatePipeWire::kQuadSink, PrivatePipeWire::kStereoSink}) {
        SCOPED_TRACE(uid);
        const AudioDevice target = *device(monitor, uid);
        monitor.setDefaultDevice(target);
        EXPECT_TRUE(eventually([&] { return monitor.defaultDeviceID() == target.id; }));
        const QString status = pipewire_->run("wpctl", {"status"});
        const QString line = status.split('\n').filter(target.name).value(0);
        EXPECT_TRUE(line.contains('*')) << status.toStdString();
        EXPECT_TRUE(status.contains(QString("Audio/Sink    %1").arg(uid))) << status.toStdString();
    }
    // A default must be a device of that direction: an unknown object, or a sink as the default
    // input, is refused and changes nothing.
    const AudioObjectID sink = device(monitor, PrivatePipeWire::kQuadSink)->id;
    for (auto [selector, id] : {std::pair{hal::kDefaultOutputDevice, AudioObjectID(9999)},
                                std::pair{hal::kDefaultInputDevice, sink}}) {
        EXPECT_EQ(AudioHardware::installed().setPropertyData(hal::kSystemObject, {selector}, sizeof id, &id),
                  hal::kStatusIllegalOperation);
    }
    EXPECT_FALSE(pipewire_->run("wpctl", {"status"}).contains("Audio/Source"));
}

TEST_F(PipeWireIntegrationTest, AServerRestartTakesEverythingAwayAndBringsItBack) {
    AudioDeviceMonitor monitor(AudioDirection::output, defaults());
    monitor.start();
    ASSERT_TRUE(eventually([&] { return listsBothSinks(monitor); }));

    pipewire_->stopServers();
    EXPECT_TRUE(eventually([&] { return monitor.devices().empty() && monitor.defaultDeviceID() == 0; }));
    EXPECT_FALSE(hardware_->connected());
    EXPECT_TRUE(logs.containsText("The PipeWire server went away"));

    ASSERT_TRUE(pipewire_->startServers());
    EXPECT_TRUE(eventually([&] { return listsBothSinks(monitor) && monitor.defaultDeviceID() != 0; }));
    EXPECT_TRUE(hardware_->connected());
}

}  // namespace
}  // namespace quellor::test
