#include "audio/MirrorAggregateCleanup.h"
#include "platform/SimulatedHardwareFixture.h"

namespace quellor {
namespace {

class MirrorAggregateCleanupTest : public test::SimulatedHardwareTest {
protected:
    AudioObjectID aggregate(const QString& uid, const QStringList& subDevices) {
        SimulatedDevice d = device(uid, 2);
        d.transport = hal::kTransportAggregate;
        d.subDeviceUIDs = subDevices;
        return hw.addDevice(d);
    }
    std::vector<AudioObjectID> destroyed() const {
        std::vector<AudioObjectID> ids;
        for (const auto& call : hw.mutations())
            if (call.call == SimulatedHardware::Call::DestroyAggregate) ids.push_back(call.object);
        return ids;
    }
    std::size_t defaultWrites() const {
        std::size_t n = 0;
        for (const auto& call : hw.mutations())
            if (call.call == SimulatedHardware::Call::SetData && call.address.selector == hal::kDefaultOutputDevice) n++;
        return n;
    }
    int destroyLines() const { return int(logs.records(QStringLiteral("MirrorAggregateCleanup")).size()); }
};

TEST_F(MirrorAggregateCleanupTest, LeavesEverythingElseAlone) {
    AudioObjectID speakers = hw.addDevice(device("speakers", 2));
    aggregate("com.example.studio-aggregate", {"speakers"});
    aggregate("Quellor aggregate #7", {"speakers"});
    cleanUpLeftoverMirrorAggregates();
    EXPECT_TRUE(hw.mutations().empty());
    EXPECT_EQ(destroyLines(), 0);
    EXPECT_EQ(hw.defaultOutputDevice(), speakers);
}

TEST_F(MirrorAggregateCleanupTest, MovesTheDefaultToTheFirstPresentSubDeviceThenDestroys) {
    AudioObjectID speakers = hw.addDevice(device("speakers", 2));
    AudioObjectID usb = hw.addDevice(device("usb", 8));
    AudioObjectID mirror = aggregate("com.larchfen.quellor.multi-output", {"gone", "usb", "speakers"});
    hw.setDefaultOutputDevice(mirror);
    EXPECT_EQ(subDeviceIDs(mirror), (std::vector<AudioObjectID>{usb, speakers}));

    cleanUpLeftoverMirrorAggregates();
    EXPECT_EQ(defaultWrites(), 1u);
    EXPECT_EQ(destroyed(), std::vector<AudioObjectID>{mirror});
    EXPECT_FALSE(hw.exists(mirror));
    EXPECT_EQ(hw.defaultOutputDevice(), usb);
    EXPECT_TRUE(logs.contains(QStringLiteral("MirrorAggregateCleanup"), LogLevel::Info,
                              QStringLiteral("Destroyed leftover mirror aggregate com.larchfen.quellor.multi-output")));
}

TEST_F(MirrorAggregateCleanupTest, DestroysEveryLeftoverInOnePassTouchingTheDefaultOnlyWhenItMust) {
    AudioObjectID speakers = hw.addDevice(device("speakers", 2));
    AudioObjectID orphan = aggregate("dev.corvantis.lintor.multi-output", {"gone"});
    AudioObjectID mirror = aggregate("com.larchfen.quellor.multi-output", {"speakers"});
    hw.setDefaultOutputDevice(orphan);  // no present sub-device: the default is not written

    cleanUpLeftoverMirrorAggregates();
    EXPECT_EQ(defaultWrites(), 0u);
    EXPECT_EQ(destroyed(), (std::vector<AudioObjectID>{orphan, mirror}));
    EXPECT_EQ(destroyLines(), 2);
    EXPECT_EQ(hw.defaultOutputDevice(), speakers);  // the hardware moved it when the default went
}

TEST_F(MirrorAggregateCleanupTest, FailedStepsAreSkippedAndTheDestructionStillLogged) {
    hw.addDevice(device("speakers", 2));
    AudioObjectID mirror = aggregate("com.larchfen.quellor.multi-output", {"speakers"});
    hw.setDefaultOutputDevice(mirror);
    hw.failNext({SimulatedHardware::Call::Data, hal::kSystemObject, hal::kDefaultOutputDevice, std::nullopt},
                hal::kStatusUnspecified);
    hw.failNext({SimulatedHardware::Call::DestroyAggregate, mirror, std::nullopt, std::nullopt},
                hal::kStatusUnspecified);
    cleanUpLeftoverMirrorAggregates();
    EXPECT_EQ(defaultWrites(), 0u);
    EXPECT_TRUE(hw.exists(mirror));
    EXPECT_EQ(destroyLines(), 1);

    // A device list that cannot be read ends the work quietly.
    hw.failNext({SimulatedHardware::Call::DataSize, hal::kSystemObject, hal::kDevices, std::nullopt},
                hal::kStatusUnspecified);
    hw.clearMutations();
    cleanUpLeftoverMirrorAggregates();
    EXPECT_TRUE(hw.mutations().empty());
    EXPECT_EQ(destroyLines(), 1);
}

}  // namespace
}  // namespace quellor
