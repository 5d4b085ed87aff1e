// The output side: where the PHONES pair lies, the output latency estimate and the routing to a
// freshly connected Bluetooth device.
#include <chrono>

#include "EngineFixture.h"
#include "audio/BluetoothAudioMonitor.h"
#include "audio/VolumeControlling.h"
#include "audio/VolumeWriteQueue.h"
#include "platform/StreamConfiguration.h"

namespace quellor::test {
namespace {

using namespace std::chrono_literals;

class MixerEngineOutputsTest : public EngineFixture {
protected:
    static constexpr PropertyAddress kVolume{hal::kVirtualMainVolume, hal::kScopeOutput, hal::kElementMain};

    AudioDevice listed(const QString& uid) {
        for (const AudioDevice& d : engine().deviceMonitor().devices())
            if (d.uid == uid) return d;
        ADD_FAILURE() << "no device " << qPrintable(uid);
        return {};
    }
};

TEST_F(MixerEngineOutputsTest, APhonesPairNeedsFourChannelsAndFollowsTheStoredPairing) {
    const AudioObjectID stereo = addOutputDevice("stereo", 2);
    const AudioObjectID iface = addOutputDevice("iface", 4);
    hardware.setDefaultOutputDevice(stereo);
    startEngine();
    EXPECT_FALSE(engine().busLayout(listed("stereo")));
    EXPECT_FALSE(engine().hasPhonesBus());
    EXPECT_EQ(engine().activePhonesVolume(), nullptr);

    hardware.setDefaultOutputDevice(iface);
    settle();
    const auto layout = engine().busLayout(listed("iface"));
    ASSERT_TRUE(layout);
    EXPECT_EQ(layout->mainOffset, 0);
    EXPECT_EQ(layout->phonesOffset, 2);
    EXPECT_EQ(layout->width, 2);
    EXPECT_TRUE(engine().hasPhonesBus());
    EXPECT_NE(engine().activePhonesVolume(), nullptr);

    engine().setBusPairing(BusPairing{2, 0}, "iface");
    EXPECT_EQ(engine().busLayout(listed("iface"))->mainOffset, 2);
    EXPECT_EQ(engine().busLayout(listed("iface"))->phonesOffset, 0);
}

TEST_F(MixerEngineOutputsTest, ADeviceVolumeFollowsItsDeviceThroughAQuickReplug) {
    addOutputDevice("speakers", 2);
    const AudioObjectID usb = addOutputDevice("usb", 2);
    addApp(100, kPlayer);
    defaults().setData("appVolumes", R"({"com.example.player":{"outputDeviceUIDs":["usb"]}})");
    hardware.setProperty(usb, kVolume, 0.5f);
    startEngine();
    ASSERT_NE(engine().volumeControl("usb"), nullptr);
    EXPECT_FLOAT_EQ(engine().volumeControl("usb")->volume(), 0.5f);

    // Unplugged and plugged in again before the main loop turns: a new object, the same UID.
    hardware.removeDevice(usb);
    const AudioObjectID replugged = addOutputDevice("usb", 2);
    settle();
    ASSERT_NE(tap(kPlayer), nullptr);
    EXPECT_EQ(tap(kPlayer)->activatedOutputs().front().id, replugged);
    VolumeControlling* control = engine().volumeControl("usb");
    ASSERT_NE(control, nullptr);
    EXPECT_FLOAT_EQ(control->volume(), 1.0f);  // read from the new device

    control->setVolume(0.3f);
    ASSERT_TRUE(VolumeWriteQueue::shared().waitUntilIdle(5s));
    scheduler().runPending();
    EXPECT_EQ(hardware.property(replugged, kVolume), SimulatedHardware::Value(0.3f));
    hardware.setProperty(replugged, kVolume, 0.6f);  // changes made elsewhere are followed too
    scheduler().runPending();
    EXPECT_FLOAT_EQ(control->volume(), 0.6f);
}

TEST_F(MixerEngineOutputsTest, OutputLatencyAddsBufferSafetyOffsetAndDeviceLatency) {
    SimulatedDevice device;
    device.uid = device.name = "iface";
    device.output.streams = StreamConfiguration{{2}};
    device.output.safetyOffset = 32;
    device.output.latency = 64;
    device.sampleRate = 48000;
    const AudioObjectID id = hardware.addDevice(device);
    hardware.setDefaultOutputDevice(id);
    startEngine();

    ASSERT_TRUE(engine().readOutputLatency(256));
    EXPECT_NEAR(*engine().readOutputLatency(256), (256.0 + 32 + 64) / 48000 * 1000, 1e-9);
    // The device's own buffer size when none is given; 512 frames when that cannot be read.
    hardware.failEvery({SimulatedHardware::Call::Data, id, hal::kBufferFrameSize, std::nullopt}, -50);
    EXPECT_NEAR(*engine().readOutputLatency(0), (512.0 + 32 + 64) / 48000 * 1000, 1e-9);
}

TEST_F(MixerEngineOutputsTest, AConnectedBluetoothDeviceBecomesTheDefaultOutputOnceListed) {
    const AudioObjectID speakers = addOutputDevice("speakers", 2);
    hardware.setDefaultOutputDevice(speakers);
    const QString address = "00-1a-7d-da-71-13";
    bluetooth.pair({address, 4, 1, QString("Headphones"), false});
    AudioObjectID headphones = 0;
    bluetooth.setOutputHook(address, {1.0, [&] {
                                          headphones = addOutputDevice(address + ":output", 2, 48000.0,
                                                                       hal::kTransportBluetooth);
                                      }, {}});
    startEngine();
    ASSERT_EQ(engine().bluetooth().paired().size(), 1u);

    engine().connectBluetoothDevice(engine().bluetooth().paired().front());
    advance(1.1);  // listed at 1.0 s, found by the attempt at 1.2 s
    EXPECT_EQ(hardware.defaultOutputDevice(), speakers);
    advance(0.2);
    ASSERT_NE(headphones, 0u);
    EXPECT_EQ(hardware.defaultOutputDevice(), headphones);
}

TEST_F(MixerEngineOutputsTest, BluetoothRoutingGivesUpAfterSixteenAttempts) {
    const AudioObjectID speakers = addOutputDevice("speakers", 2);
    hardware.setDefaultOutputDevice(speakers);
    const QString address = "00-1a-7d-da-71-14";
    bluetooth.pair({address, 4, 1, QString("Never listed"), false});
    startEngine();
    engine().connectBluetoothDevice(engine().bluetooth().paired().front());
    advance(4.65);  // attempts every 0.3 s: the 16th ran at 4.5 s
    // Listed after the last attempt: the default output stays where it is.
    addOutputDevice(address + ":output", 2, 48000.0, hal::kTransportBluetooth);
    advance(2.0);
    EXPECT_EQ(hardware.defaultOutputDevice(), speakers);
}

TEST_F(MixerEngineOutputsTest, APairedDeviceOwnsOnlyTheAudioDevicesThatBeginWithItsAddress) {
    const AudioObjectID speakers = addOutputDevice("speakers", 2);
    hardware.setDefaultOutputDevice(speakers);
    addOutputDevice("00-1a-7d-da-71-15:output", 2, 48000.0, hal::kTransportBluetooth);
    bluetooth.pair({"00-1A-7D-DA-71-15", 4, 1, QString("Headset"), true});
    // An empty address would be a prefix of every UID.
    bluetooth.pair({"", 4, 1, QString("Nameless"), true});
    startEngine();
    ASSERT_EQ(engine().bluetooth().paired().size(), 2u);

    const auto headset = engine().bluetoothDevice(listed("00-1a-7d-da-71-15:output"));
    ASSERT_TRUE(headset.has_value());
    EXPECT_EQ(headset->name, "Headset");
    EXPECT_FALSE(engine().bluetoothDevice(listed("speakers")).has_value());

    // Connecting the device without an address routes to none of the listed devices.
    for (const BluetoothAudioDevice& d : engine().bluetooth().paired())
        if (d.id.isEmpty()) engine().connectBluetoothDevice(d);
    advance(5.0);
    EXPECT_EQ(hardware.defaultOutputDevice(), speakers);
}

}  // namespace
}  // namespace quellor::test
