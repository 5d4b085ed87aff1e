#include "TestEnvironment.h"
#include "platform/SimulatedBluetooth.h"
#include "platform/SimulatedHardware.h"
#include "platform/SimulatedWorld.h"

namespace quellor {
namespace {

class SimulatedBluetoothTest : public test::QuellorTest {
protected:
    SimulatedBluetoothTest() {
        bluetooth.pair({QStringLiteral("aa"), 4, 6, QStringLiteral("Headset"), false});
        bluetooth.setOutputHook(QStringLiteral("aa"), {2.0, [this] { appeared += 1; }, [this] { vanished += 1; }});
    }
    SimulatedBluetooth bluetooth;
    int appeared = 0;
    int vanished = 0;
};

TEST_F(SimulatedBluetoothTest, ConnectedHeadsetAppearsAsOutputAfterItsDelay) {
    EXPECT_EQ(bluetooth.openConnection(QStringLiteral("aa")), BluetoothDevices::kSuccess);
    EXPECT_TRUE(bluetooth.pairedDevices()->front().connected);
    advance(1.9);
    EXPECT_EQ(appeared, 0);
    advance(0.2);
    EXPECT_EQ(appeared, 1);

    EXPECT_EQ(bluetooth.closeConnection(QStringLiteral("aa")), BluetoothDevices::kSuccess);
    scheduler().runPending();
    EXPECT_EQ(vanished, 1);
    EXPECT_FALSE(bluetooth.pairedDevices()->front().connected);
}

TEST_F(SimulatedBluetoothTest, FailedOrWithdrawnConnectionsAddNoOutput) {
    EXPECT_EQ(bluetooth.openConnection(QStringLiteral("zz")), BluetoothDevices::kGeneralError);

    bluetooth.setOpenStatus(QStringLiteral("aa"), -536870185);
    EXPECT_EQ(bluetooth.openConnection(QStringLiteral("aa")), -536870185);
    EXPECT_FALSE(bluetooth.pairedDevices()->front().connected);
    advance(3);
    EXPECT_EQ(appeared, 0);

    bluetooth.setOpenStatus(QStringLiteral("aa"), BluetoothDevices::kSuccess);
    bluetooth.openConnection(QStringLiteral("aa"));
    advance(1);
    bluetooth.closeConnection(QStringLiteral("aa"));  // gone before it was ever listed
    advance(3);
    EXPECT_EQ(appeared, 0);

    bluetooth.setPairedListAvailable(false);
    EXPECT_FALSE(bluetooth.pairedDevices());
}

TEST_F(SimulatedBluetoothTest, AWorldHeadsetIsAnOutputDeviceOnlyWhileConnected) {
    SimulatedHardware hardware;
    SimulatedWorld world = SimulatedWorld::builtIn();
    world.bluetooth.front().connected = false;
    world.populate(hardware);
    const QString address = world.bluetooth.front().address;
    const QString uid = world.bluetooth.front().deviceUID;

    SimulatedBluetooth headsets;
    headsets.populate(world, hardware, 1.5);
    EXPECT_EQ(hardware.deviceWithUID(uid), 0u);
    auto paired = headsets.pairedDevices();
    ASSERT_EQ(paired->size(), 1u);
    EXPECT_EQ(paired->front().majorClass, BluetoothDevices::kAudioMajorClass);
    EXPECT_EQ(paired->front().name, QStringLiteral("Bluetooth Headset"));

    headsets.openConnection(address);
    advance(1.0);
    EXPECT_EQ(hardware.deviceWithUID(uid), 0u);
    advance(0.6);
    AudioObjectID headset = hardware.deviceWithUID(uid);
    ASSERT_NE(headset, 0u);
    EXPECT_EQ(hardware.property(headset, {hal::kTransportType, hal::kScopeGlobal, hal::kElementMain}),
              SimulatedHardware::Value(hal::kTransportBluetooth));

    headsets.closeConnection(address);
    scheduler().runPending();
    EXPECT_EQ(hardware.deviceWithUID(uid), 0u);
}

}  // namespace
}  // namespace quellor
