#include <gmock/gmock.h>

#include <atomic>
#include <thread>

#include "SimulatedHardwareFixture.h"

namespace quellor::test {
namespace {

using namespace hal;
using Call = SimulatedHardware::Call;

class SimulatedHardwareBehaviour : public SimulatedHardwareTest {
protected:
    OSStatus read32(AudioObjectID id, PropertyAddress a, std::uint32_t& value) {
        std::uint32_t size = 4;
        return hw.propertyData(id, a, size, &value);
    }
    OSStatus write(AudioObjectID id, PropertyAddress a, auto value) {
        return hw.setPropertyData(id, a, sizeof(value), &value);
    }
    // Registers a listener that appends `name` to `calls` when it runs.
    ListenerToken listen(AudioObjectID id, PropertyAddress a, std::vector<std::string>& calls, std::string name) {
        ListenerToken token = 0;
        EXPECT_EQ(hw.addPropertyListener(id, a, [&calls, name](std::uint32_t n, const PropertyAddress*) {
            EXPECT_EQ(n, 1u);
            calls.push_back(name);
        }, token), kStatusOK);
        return token;
    }
};

TEST_F(SimulatedHardwareBehaviour, AnswersByObjectScopeAndElement) {
    AudioObjectID usb = hw.addDevice(device("usb", 8, 2));

    // The stream configuration is the documented buffer list: count, then channels per buffer.
    std::uint32_t size = 0;
    ASSERT_EQ(hw.propertyDataSize(usb, {kStreamConfiguration, kScopeOutput}, size), kStatusOK);
    EXPECT_EQ(size, 8u);
    std::uint32_t words[2] = {};
    ASSERT_EQ(hw.propertyData(usb, {kStreamConfiguration, kScopeOutput}, size, words), kStatusOK);
    EXPECT_EQ(words[0], 1u);
    EXPECT_EQ(words[1], 8u);

    std::uint32_t value = 0;
    // A device-wide property answers in any scope; a scoped one only in its own.
    EXPECT_EQ(read32(usb, {kTransportType, kScopeOutput}, value), kStatusOK);
    EXPECT_EQ(read32(usb, {kMute, kScopeGlobal}, value), kStatusUnknownProperty);
    EXPECT_EQ(read32(usb, {kMute, kScopeOutput, 1}, value), kStatusUnknownProperty);
    EXPECT_EQ(read32(0, {kDevices}, value), kStatusBadObject);
    // A fixed-size value needs room for all of it.
    std::uint32_t small = 2;
    EXPECT_EQ(hw.propertyData(usb, {kNominalSampleRate}, small, words), kStatusBadPropertySize);
    // Strings are object-valued.
    QVariant uid;
    EXPECT_EQ(hw.propertyObject(usb, {kDeviceUID}, uid), kStatusOK);
    EXPECT_EQ(uid.toString(), "usb");
    EXPECT_EQ(read32(usb, {kDeviceUID}, value), kStatusUnsupported);
}

TEST_F(SimulatedHardwareBehaviour, WritesAreCheckedAndLogged) {
    AudioObjectID usb = hw.addDevice(device("usb", 8));
    hw.setProperty(usb, {kMute, kScopeOutput}, std::uint32_t(0), false);

    struct Case { PropertyAddress address; AudioObjectID object; std::uint32_t value; OSStatus status; };
    for (auto c : {Case{{kDefaultOutputDevice}, kSystemObject, 999, kStatusIllegalOperation},  // no such device
                   Case{{kDefaultOutputDevice}, kSystemObject, usb, kStatusOK},
                   Case{{kBufferFrameSize}, usb, 8192, kStatusIllegalOperation},  // outside 'fsz#'
                   Case{{kBufferFrameSize}, usb, 256, kStatusOK},
                   Case{{kMute, kScopeOutput}, usb, 1, kStatusIllegalOperation},  // not settable
                   Case{{kDeviceIsAlive}, usb, 0, kStatusIllegalOperation}}) {
        EXPECT_EQ(write(c.object, c.address, c.value), c.status) << fourCCText(c.address.selector).toStdString();
    }
    EXPECT_EQ(write(usb, {kNominalSampleRate}, std::uint32_t(44100)), kStatusBadPropertySize);

    EXPECT_EQ(write(usb, {kVirtualMainVolume, kScopeOutput}, 1.7f), kStatusOK);
    EXPECT_EQ(std::get<float>(*hw.property(usb, {kVirtualMainVolume, kScopeOutput})), 1.0f);

    EXPECT_EQ(write(usb, {kNominalSampleRate}, 96000.0), kStatusOK);
    EXPECT_EQ(std::get<StreamFormat>(*hw.property(usb, {kStreamFormat, kScopeOutput})).sampleRate, 96000.0);

    auto log = hw.mutations();
    ASSERT_EQ(log.size(), 9u);
    EXPECT_EQ(log[0].status, kStatusIllegalOperation);
    EXPECT_EQ(log[1].object, kSystemObject);
    EXPECT_EQ(log[1].address, (PropertyAddress{kDefaultOutputDevice}));
    EXPECT_EQ(log[1].data, QByteArray(reinterpret_cast<const char*>(&usb), 4));

    // However long it runs, the log holds the latest calls only.
    auto bytes = [](std::uint32_t v) { return QByteArray(reinterpret_cast<const char*>(&v), 4); };
    for (std::uint32_t i = 0; i < SimulatedHardware::kMaxLoggedMutations; ++i) write(usb, {kBufferFrameSize}, 20 + i % 8);
    log = hw.mutations();
    ASSERT_EQ(log.size(), SimulatedHardware::kMaxLoggedMutations);
    EXPECT_EQ(log.front().data, bytes(20));
    EXPECT_EQ(log.back().data, bytes(27));
}

TEST_F(SimulatedHardwareBehaviour, ListenersHearChangesInRegistrationOrderAndNotAfterRemoval) {
    AudioObjectID usb = hw.addDevice(device("usb", 8));
    std::vector<std::string> calls;
    listen(usb, {kNominalSampleRate, kScopeGlobal}, calls, "first");
    ListenerToken second = listen(usb, {kNominalSampleRate, kScopeOutput}, calls, "second");
    listen(usb, {kNominalSampleRate, kScopeGlobal}, calls, "third");

    hw.setNominalSampleRate(usb, 48000.0);  // unchanged: no notification
    hw.setNominalSampleRate(usb, 44100.0);
    EXPECT_TRUE(calls.empty()) << "delivered by the scheduler, not inside the change";
    ASSERT_EQ(hw.removePropertyListener(usb, {kNominalSampleRate, kScopeOutput}, second), kStatusOK);
    scheduler().runPending();
    EXPECT_EQ(calls, (std::vector<std::string>{"first", "third"}));

    calls.clear();
    hw.notify(usb, {kNominalSampleRate});
    scheduler().runPending();
    EXPECT_EQ(calls, (std::vector<std::string>{"first", "third"}));
    EXPECT_EQ(hw.listenerCount(usb), 2u);
    EXPECT_NE(hw.removePropertyListener(usb, {kNominalSampleRate, kScopeOutput}, second), kStatusOK);
}

TEST_F(SimulatedHardwareBehaviour, DevicesComeAndGoWithFreshIdsAndAFollowingDefault) {
    std::vector<std::string> calls;
    listen(kSystemObject, {kDevices}, calls, "devices");
    listen(kSystemObject, {kDefaultOutputDevice}, calls, "default output");

    AudioObjectID mic = hw.addDevice(device("mic", 0, 1));
    AudioObjectID builtIn = hw.addDevice(device("builtin", 2));
    AudioObjectID usb = hw.addDevice(device("usb", 8, 8));
    EXPECT_EQ(hw.defaultOutputDevice(), builtIn) << "the first device with outputs";
    EXPECT_EQ(hw.defaultInputDevice(), mic);
    hw.setDefaultOutputDevice(usb);
    scheduler().runPending();
    calls.clear();

    ASSERT_TRUE(hw.removeDevice(usb));
    EXPECT_EQ(hw.deviceIDs(), (std::vector<AudioObjectID>{mic, builtIn}));
    EXPECT_EQ(hw.defaultOutputDevice(), builtIn);
    EXPECT_EQ(hw.defaultInputDevice(), mic);
    scheduler().runPending();
    EXPECT_EQ(calls, (std::vector<std::string>{"devices", "default output"}));

    std::uint32_t value;
    EXPECT_EQ(read32(usb, {kTransportType}, value), kStatusBadObject);
    AudioObjectID again = hw.addDevice(device("usb", 8, 8));
    EXPECT_GT(again, usb) << "ids are never reused";
    EXPECT_EQ(hw.deviceWithUID("usb"), again);
}

TEST_F(SimulatedHardwareBehaviour, FaultsMatchTheirCallsAndRunOutWhenOneShot) {
    AudioObjectID usb = hw.addDevice(device("usb", 8));
    std::uint32_t value = 0;

    hw.failNext({Call::Data, usb, kTransportType, std::nullopt}, kStatusUnspecified);
    EXPECT_EQ(read32(usb, {kLatency, kScopeOutput}, value), kStatusOK) << "other selector";
    EXPECT_EQ(read32(usb, {kTransportType}, value), kStatusUnspecified);
    EXPECT_EQ(read32(usb, {kTransportType}, value), kStatusOK) << "used up";

    auto every = hw.failEvery({std::nullopt, usb, kMute, kScopeOutput}, kStatusIllegalOperation);
    bool settable = true;
    EXPECT_EQ(hw.isPropertySettable(usb, {kMute, kScopeOutput}, settable), kStatusIllegalOperation);
    EXPECT_EQ(write(usb, {kMute, kScopeOutput}, std::uint32_t(1)), kStatusIllegalOperation);
    EXPECT_EQ(hw.isPropertySettable(usb, {kMute, kScopeInput}, settable), kStatusUnknownProperty);
    hw.clearFault(every);
    EXPECT_EQ(write(usb, {kMute, kScopeOutput}, std::uint32_t(1)), kStatusOK);

    hw.succeedWithoutWriting({Call::Data, usb, std::nullopt, std::nullopt});
    value = 77;
    EXPECT_EQ(read32(usb, {kTransportType}, value), kStatusOK);
    EXPECT_EQ(value, 77u);
    EXPECT_EQ(read32(usb, {kTransportType}, value), kStatusOK);
    EXPECT_EQ(value, kTransportBuiltIn);

    // A hook runs before the call is served and may change the world under it.
    hw.beforeNext({Call::Data, kSystemObject, kDevices, std::nullopt}, [&] { hw.removeDevice(usb); });
    std::uint32_t ids[4] = {};
    std::uint32_t size = sizeof(ids);
    EXPECT_EQ(hw.propertyData(kSystemObject, {kDevices}, size, ids), kStatusOK);
    EXPECT_EQ(size, 0u);

    EXPECT_EQ(hw.callCount({Call::Data, usb, kTransportType, std::nullopt}), 4u);
}

TEST_F(SimulatedHardwareBehaviour, ServesCallsFromManyThreadsWhileTheWorldChanges) {
    AudioObjectID usb = hw.addDevice(device("usb", 8));
    std::atomic<bool> stop{false};
    std::vector<std::thread> readers;
    for (int t = 0; t < 4; ++t) {
        readers.emplace_back([&] {
            while (!stop) {
                std::uint32_t ids[8];
                std::uint32_t size = sizeof(ids);
                hw.propertyData(kSystemObject, {kDevices}, size, ids);
                float volume = 0.25f;
                hw.setPropertyData(usb, {kVirtualMainVolume, kScopeOutput}, 4, &volume);
            }
        });
    }
    for (int i = 0; i < 200; ++i) hw.removeDevice(hw.addDevice(device(QString::number(i), 2)));
    stop = true;
    for (auto& t : readers) t.join();
    EXPECT_EQ(hw.deviceIDs(), (std::vector<AudioObjectID>{usb}));
}

}  // namespace
}  // namespace quellor::test
