#include <QSignalSpy>
#include <chrono>
#include <cmath>

#include "Gate.h"
#include "audio/DeviceVolumeController.h"
#include "audio/SystemVolumeController.h"
#include "audio/VolumeWriteQueue.h"
#include "platform/SimulatedHardwareFixture.h"

namespace quellor {
namespace {

using namespace std::chrono_literals;

// Holds the writer thread inside the next volume write to `device` until release().
class HeldWrite {
public:
    HeldWrite(SimulatedHardware& hw, AudioObjectID device) {
        hw.beforeNext({SimulatedHardware::Call::SetData, device, hal::kVirtualMainVolume, std::nullopt},
                      [this] { gate_.enterAndWait(); });
    }
    ~HeldWrite() { release(); }
    bool waitUntilEntered() { return gate_.waitUntilEntered(); }
    void release() { gate_.release(); }

private:
    test::Gate gate_;
};

class VolumeControllersTest : public test::SimulatedHardwareTest {
protected:
    // Waits for the writer thread, then delivers the completions on the main thread.
    void settle() {
        ASSERT_TRUE(queue.waitUntilIdle(5s));
        scheduler().runPending();
    }
    // The volume and mute writes the device received, in order ("v0.25", "m1").
    QStringList writes(AudioObjectID device) const {
        QStringList result;
        for (const auto& call : hw.mutations()) {
            if (call.object != device || call.status != hal::kStatusOK) continue;
            if (call.address.selector == hal::kVirtualMainVolume) {
                float v;
                std::memcpy(&v, call.data.constData(), sizeof v);
                result.append(QStringLiteral("v%1").arg(v));
            } else if (call.address.selector == hal::kMute) {
                std::uint32_t m;
                std::memcpy(&m, call.data.constData(), sizeof m);
                result.append(QStringLiteral("m%1").arg(m));
            }
        }
        return result;
    }
    float deviceVolume(AudioObjectID device) const {
        return std::get<float>(*hw.property(device, {hal::kVirtualMainVolume, hal::kScopeOutput, hal::kElementMain}));
    }
    void setDeviceVolume(AudioObjectID device, float v) {
        hw.setProperty(device, {hal::kVirtualMainVolume, hal::kScopeOutput, hal::kElementMain}, v);
    }

    VolumeWriteQueue queue;
};

TEST_F(VolumeControllersTest, DeviceLevelIsClampedAndZeroMutesInTheSameWrite) {
    AudioObjectID speakers = hw.addDevice(device("speakers", 2));
    SimulatedDevice fixed = device("fixed", 2);
    fixed.output.mute->settable = false;
    AudioObjectID noMute = hw.addDevice(fixed);
    DeviceVolumeController controller(speakers, &queue);
    DeviceVolumeController withoutMute(noMute, &queue);
    EXPECT_FLOAT_EQ(controller.volume(), 0.5f);
    EXPECT_TRUE(controller.canMute());
    EXPECT_FALSE(withoutMute.canMute());

    controller.setVolume(1.7f);
    EXPECT_FLOAT_EQ(controller.volume(), 1.0f);  // shown before the write lands
    EXPECT_TRUE(controller.isWriting());
    settle();
    EXPECT_FALSE(controller.isWriting());
    controller.setVolume(-0.2f);
    EXPECT_TRUE(controller.isMuted());
    settle();
    controller.setVolume(0.3f);  // raising a muted device unmutes it
    settle();
    controller.setVolume(std::nanf(""));  // the fader's rule: full level
    EXPECT_FLOAT_EQ(controller.volume(), 1.0f);
    settle();
    EXPECT_EQ(writes(speakers), (QStringList{"v1", "v0", "m1", "v0.3", "m0", "v1"}));

    withoutMute.setVolume(0.0f);
    settle();
    EXPECT_EQ(writes(noMute), QStringList{"v0"});
    EXPECT_FALSE(withoutMute.isMuted());
}

TEST_F(VolumeControllersTest, WritesInFlightCoalesceAndOutsideChangesWaitForTheNewest) {
    AudioObjectID speakers = hw.addDevice(device("speakers", 2));
    AudioObjectID other = hw.addDevice(device("other", 2));
    DeviceVolumeController controller(speakers, &queue);
    DeviceVolumeController second(other, &queue);

    // Hold the writer inside the first write while two more arrive.
    HeldWrite held(hw, speakers);
    controller.setVolume(0.1f);
    ASSERT_TRUE(held.waitUntilEntered());
    controller.setVolume(0.2f);
    second.setVolume(0.6f);  // another device's write is never dropped for ours
    controller.setVolume(0.3f);

    // The device reports a change while our writes are in flight: ignored.
    setDeviceVolume(speakers, 0.9f);
    scheduler().runPending();
    EXPECT_FLOAT_EQ(controller.volume(), 0.3f);
    held.release();
    settle();
    EXPECT_EQ(writes(speakers), (QStringList{"v0.1", "v0.3"}));
    EXPECT_EQ(writes(other), QStringList{"v0.6"});
    EXPECT_FALSE(controller.isWriting());
    EXPECT_FALSE(second.isWriting());

    // With the newest write applied, outside changes are followed again.
    setDeviceVolume(speakers, 0.7f);
    scheduler().runPending();
    EXPECT_FLOAT_EQ(controller.volume(), 0.7f);
}

TEST_F(VolumeControllersTest, FailedWritesReReadTheDevice) {
    AudioObjectID speakers = hw.addDevice(device("speakers", 2));
    SimulatedDevice bare = device("bare", 2);
    bare.output.mute.reset();
    AudioObjectID noMute = hw.addDevice(bare);
    DeviceVolumeController controller(speakers, &queue);
    DeviceVolumeController withoutMute(noMute, &queue);

    hw.failNext({SimulatedHardware::Call::SetData, speakers, hal::kVirtualMainVolume, std::nullopt},
                hal::kStatusUnspecified);
    controller.setVolume(0.0f);  // the failed level also skips the mute
    settle();
    EXPECT_FALSE(controller.isWriting());
    EXPECT_FLOAT_EQ(controller.volume(), 0.5f);
    EXPECT_FALSE(controller.isMuted());
    EXPECT_TRUE(writes(speakers).isEmpty());

    withoutMute.toggleMute();
    EXPECT_FALSE(withoutMute.isMuted());
    controller.toggleMute();
    EXPECT_TRUE(controller.isMuted());
    EXPECT_EQ(writes(speakers), QStringList{"m1"});
}

TEST_F(VolumeControllersTest, ACompletionForAGoneControllerDoesNothing) {
    AudioObjectID speakers = hw.addDevice(device("speakers", 2));
    auto controller = std::make_unique<DeviceVolumeController>(speakers, &queue);
    controller->setVolume(0.4f);
    controller.reset();
    settle();
    EXPECT_EQ(hw.listenerCount(speakers), 0u);
    EXPECT_FLOAT_EQ(deviceVolume(speakers), 0.4f);
}

class SystemVolumeControllerTest : public VolumeControllersTest {
protected:
    SystemVolumeControllerTest() {
        speakers = hw.addDevice(device("speakers", 2));
        SimulatedDevice fixed = device("usb", 8);
        fixed.output.mute.reset();
        usb = hw.addDevice(fixed);
        hw.setDefaultOutputDevice(speakers);
        controller.onVolumeChanged = [this] { changes += 1; };
    }
    AudioObjectID speakers = 0, usb = 0;
    SystemVolumeController controller{AudioDirection::output, &queue};
    int changes = 0;
};

TEST_F(SystemVolumeControllerTest, FollowsTheDefaultDevice) {
    controller.start();
    EXPECT_EQ(controller.deviceName(), QStringLiteral("speakers name"));
    EXPECT_FLOAT_EQ(controller.volume(), 0.5f);
    EXPECT_TRUE(controller.canMute());

    hw.setDefaultOutputDevice(usb);
    scheduler().runPending();
    EXPECT_EQ(controller.deviceName(), QStringLiteral("usb name"));
    EXPECT_FALSE(controller.canMute());
    EXPECT_EQ(controller.endpoint().deviceID, usb);
    EXPECT_EQ(hw.listenerCount(speakers), 0u);

    // No default device: the controller stays where it is.
    hw.setDefaultOutputDevice(0);
    scheduler().runPending();
    EXPECT_EQ(controller.endpoint().deviceID, usb);
    EXPECT_EQ(controller.deviceName(), QStringLiteral("usb name"));
}

TEST_F(SystemVolumeControllerTest, ADefaultChangeDuringAWriteIsReadOnceTheWriteLands) {
    controller.start();
    setDeviceVolume(usb, 0.9f);
    HeldWrite held(hw, speakers);
    controller.setVolume(0.2f);
    ASSERT_TRUE(held.waitUntilEntered());
    hw.setDefaultOutputDevice(usb);  // while the write to the speakers is in flight
    scheduler().runPending();
    EXPECT_EQ(controller.deviceName(), QStringLiteral("usb name"));
    EXPECT_FLOAT_EQ(controller.volume(), 0.2f);  // the read waits for our write
    changes = 0;
    held.release();
    settle();
    // The level shown is the new device's, not the one written to the old device.
    EXPECT_FLOAT_EQ(controller.volume(), 0.9f);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(writes(speakers), QStringList{"v0.2"});
    EXPECT_TRUE(writes(usb).isEmpty());
}

TEST_F(SystemVolumeControllerTest, ReportsChangesFromHereAndFromElsewhereOnce) {
    controller.start();
    EXPECT_EQ(changes, 1);  // the first read found 0.5 where it had assumed 1.0
    changes = 0;
    controller.setVolume(0.5f);  // the level it already has: a write, no report
    EXPECT_TRUE(controller.isWriting());
    EXPECT_EQ(changes, 0);
    settle();

    controller.setVolume(0.0f);  // reported once, for the level; the mute comes along unreported
    EXPECT_TRUE(controller.isMuted());
    EXPECT_EQ(changes, 1);
    settle();
    EXPECT_EQ(writes(speakers), (QStringList{"v0.5", "v0", "m1"}));

    hw.setProperty(speakers, {hal::kVirtualMainVolume, hal::kScopeOutput, hal::kElementMain}, 0.8f);
    scheduler().runPending();
    EXPECT_EQ(changes, 2);
    EXPECT_FLOAT_EQ(controller.volume(), 0.8f);
    hw.notify(speakers, {hal::kVirtualMainVolume, hal::kScopeOutput, hal::kElementMain});
    scheduler().runPending();
    EXPECT_EQ(changes, 2);

    controller.toggleMute();
    EXPECT_FALSE(controller.isMuted());
    EXPECT_EQ(changes, 3);
}

TEST_F(SystemVolumeControllerTest, AFailedMuteToggleReReadsTheDevice) {
    hw.setDefaultOutputDevice(usb);
    controller.start();
    changes = 0;
    controller.toggleMute();
    EXPECT_FALSE(controller.isMuted());
    EXPECT_EQ(changes, 0);
}

}  // namespace
}  // namespace quellor
