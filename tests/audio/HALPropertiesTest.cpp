#include <gmock/gmock.h>

#include "audio/HALProperties.h"
#include "platform/SimulatedHardwareFixture.h"

namespace quellor::test {
namespace {

using namespace hal;
using Call = SimulatedHardware::Call;

class HALPropertiesTest : public SimulatedHardwareTest {
protected:
    // The error a call throws; fails the test when it throws nothing.
    template <class F>
    HALError thrown(F f) {
        try {
            f();
        } catch (const HALError& e) {
            return e;
        }
        ADD_FAILURE() << "no HALError thrown";
        return HALError::osStatus(0, 0);
    }
};

TEST_F(HALPropertiesTest, ErrorsNameTheSelectorAsANumber) {
    hw.failNext({Call::Data, kSystemObject, kDefaultOutputDevice, std::nullopt}, -50);
    std::uint32_t id = 0;
    HALError e = thrown([&] { readHALProperty32(kDefaultOutputDevice, kScopeGlobal, id, kSystemObject); });
    EXPECT_EQ(e.kind(), HALError::Kind::osStatus);
    EXPECT_EQ(e.description(), "HAL property 1682929012 failed: OSStatus -50");
    EXPECT_STREQ(e.what(), "HAL property 1682929012 failed: OSStatus -50");

    EXPECT_EQ(HALError::operation(kStatusBadObject, "create process tap").description(),
              "Failed to create process tap: OSStatus 560947818");

    e = thrown([&] { setUInt32Property(kMute, kScopeOutput, 1, 42); });
    EXPECT_EQ(e.status(), kStatusBadObject);
    EXPECT_EQ(e.selector(), kMute);
}

TEST_F(HALPropertiesTest, TypedReadsFillTheirDestination) {
    SimulatedDevice d = device("usb", 8, 2);
    d.sampleRate = 44100;
    d.bufferFrameSizeRange = {32, 2048};
    AudioObjectID usb = hw.addDevice(d);

    std::uint32_t defaultOutput = 0;
    readHALProperty32(kDefaultOutputDevice, kScopeGlobal, defaultOutput, kSystemObject);
    EXPECT_EQ(defaultOutput, usb);
    float volume = 0;
    readHALProperty32(kVirtualMainVolume, kScopeOutput, volume, usb);
    EXPECT_EQ(volume, 0.5f);
    double rate = 0;
    readHALProperty64(kNominalSampleRate, kScopeGlobal, rate, usb);
    EXPECT_EQ(rate, 44100.0);
    ValueRange range;
    readHALValueRange(kBufferFrameSizeRange, kScopeGlobal, range, usb);
    EXPECT_EQ(range, (ValueRange{32, 2048}));
    StreamFormat format;
    readHALStreamFormat(kStreamFormat, kScopeInput, format, usb);
    EXPECT_EQ(format, StreamFormat::float32(44100, 2));
    EXPECT_EQ(stringProperty(usb, kName), "usb name");

    // A read that succeeds without delivering a string gives the empty string.
    hw.succeedWithoutWriting({Call::Object, usb, kName, std::nullopt});
    EXPECT_EQ(stringProperty(usb, kName), "");
    EXPECT_EQ(thrown([&] { stringProperty(usb + 1, kName); }).selector(), kName);
}

TEST_F(HALPropertiesTest, ArrayReaderUsesOnlyWhatWasDelivered) {
    AudioObjectID a = hw.addDevice(device("a", 2));
    AudioObjectID b = hw.addDevice(device("b", 2));
    AudioObjectID c = hw.addDevice(device("c", 2));
    EXPECT_EQ(readUInt32ArrayProperty(kDevices, kScopeGlobal, kSystemObject), (std::vector<std::uint32_t>{a, b, c}));

    // Fewer than 4 bytes: an empty list, and no data read at all.
    const PropertyAddress odd{fourCC("odd#")};
    for (int bytes = 0; bytes < 4; ++bytes) {
        hw.setProperty(kSystemObject, odd, QByteArray(bytes, '\x7f'));
        hw.clearCallCounts();
        EXPECT_TRUE(readUInt32ArrayProperty(odd.selector, kScopeGlobal, kSystemObject).empty()) << bytes;
        EXPECT_EQ(hw.callCount({Call::Data, std::nullopt, std::nullopt, std::nullopt}), 0u) << bytes;
    }

    // The list shrinks between the size query and the read.
    hw.beforeNext({Call::Data, kSystemObject, kDevices, std::nullopt}, [&] { hw.removeDevice(b); });
    EXPECT_EQ(readUInt32ArrayProperty(kDevices, kScopeGlobal, kSystemObject), (std::vector<std::uint32_t>{a, c}));

    for (auto call : {Call::DataSize, Call::Data}) {
        hw.failNext({call, kSystemObject, kDevices, std::nullopt}, kStatusUnspecified);
        HALError e = thrown([&] { readUInt32ArrayProperty(kDevices, kScopeGlobal, kSystemObject); });
        EXPECT_EQ(e.selector(), kDevices);
        EXPECT_EQ(e.status(), kStatusUnspecified);
    }
}

TEST_F(HALPropertiesTest, SettableOnlyWhenTheHardwareSaysSo) {
    AudioObjectID usb = hw.addDevice(device("usb", 2));
    hw.setSettable(usb, {kMute, kScopeOutput}, false);
    EXPECT_TRUE(isPropertySettable(kVirtualMainVolume, kScopeOutput, usb));
    EXPECT_FALSE(isPropertySettable(kMute, kScopeOutput, usb));
    EXPECT_FALSE(isPropertySettable(kVirtualMainVolume, kScopeOutput, 4242));
    hw.failNext({Call::IsSettable, usb, std::nullopt, std::nullopt}, kStatusUnspecified);
    EXPECT_FALSE(isPropertySettable(kVirtualMainVolume, kScopeOutput, usb));
}

TEST_F(HALPropertiesTest, UInt32WritesReachTheHardware) {
    AudioObjectID usb = hw.addDevice(device("usb", 2));
    setUInt32Property(kMute, kScopeOutput, 1, usb);
    EXPECT_EQ(std::get<std::uint32_t>(*hw.property(usb, {kMute, kScopeOutput})), 1u);
    ASSERT_EQ(hw.mutations().size(), 1u);
    EXPECT_EQ(hw.mutations()[0].address, (PropertyAddress{kMute, kScopeOutput, 0}));
}

}  // namespace
}  // namespace quellor::test
