// The device page's blocks on the simulated world: which lists show, which Bluetooth devices are
// offered and the banners.
#include <gtest/gtest.h>

#include "PanelsFixture.h"
#include "audio/BluetoothAudioMonitor.h"
#include "ui/panels/DevicesPage.h"

namespace quellor::test {
namespace {

using DevicesPageTest = PanelsFixture;

TEST_F(DevicesPageTest, TheOutputListShowsOnlyWhileADeviceIsNotInUse) {
    // The interface is the default output; the speakers are spare.
    DevicesPage page = DevicesPage::of(engine(), AudioSide::Output);
    EXPECT_EQ(page.inUseOutputUIDs, QSet<QString>({"USB-4"}));
    EXPECT_TRUE(page.showsOutputList);
    EXPECT_FALSE(page.showsInputList);

    // An application routed to the speakers takes them out of the list, default output or not.
    engine().addOutput(outputDevice("SPK"), app(kPlayer));
    page = DevicesPage::of(engine(), AudioSide::Output);
    EXPECT_EQ(page.inUseOutputUIDs, QSet<QString>({"USB-4", "SPK"}));
    EXPECT_FALSE(page.showsOutputList);

    addOutputDevice("DAC", 2);
    settle();
    EXPECT_TRUE(DevicesPage::of(engine(), AudioSide::Output).showsOutputList);
}

TEST_F(DevicesPageTest, TheInputListNeedsTwoInputDevices) {
    EXPECT_FALSE(DevicesPage::of(engine(), AudioSide::Input).showsInputList);
    SimulatedDevice mic;
    mic.uid = mic.name = "MIC-2";
    mic.input.streams = StreamConfiguration{{1}};
    hardware.addDevice(mic);
    settle();
    const DevicesPage page = DevicesPage::of(engine(), AudioSide::Input);
    EXPECT_TRUE(page.showsInputList);
    EXPECT_FALSE(page.showsOutputList) << "one side at a time";
}

TEST_F(DevicesPageTest, APairedDeviceIsOfferedWhileItIsNoOutputDevice) {
    bluetooth.pair({"00-1A-7D-DA-71-13", 4, 6, QString("Headset"), false});
    bluetooth.pair({"00-1a-7d-da-71-99", 4, 5, QString("Boom"), false});
    engine().bluetooth().refresh();
    settle();
    auto names = [](const std::vector<BluetoothAudioDevice>& list) {
        QStringList out;
        for (const auto& d : list) out << d.name;
        return out;
    };
    EXPECT_EQ(names(DevicesPage::of(engine(), AudioSide::Output).bluetooth), QStringList({"Boom", "Headset"}));

    // Its output UID begins with its address, in another letter case.
    const AudioObjectID headset = addOutputDevice("00-1a-7d-da-71-13:output", 2, 48000.0, hal::kTransportBluetooth);
    settle();
    EXPECT_EQ(names(DevicesPage::of(engine(), AudioSide::Input).bluetooth), QStringList({"Boom"}));
    hardware.removeDevice(headset);
    settle();
    EXPECT_EQ(names(DevicesPage::of(engine(), AudioSide::Output).bluetooth), QStringList({"Boom", "Headset"}));
}

TEST(DevicesPage, APairedDeviceWithoutAnAddressIsConnectedToNoOutput) {
    AudioDevice out;
    out.uid = "aa-bb:output";
    const std::vector<BluetoothAudioDevice> paired = {{"", "Nameless", false, 0}, {"AA-BB", "Mine", true, 6}};
    const auto offered = unconnectedBluetoothDevices(paired, {out});
    ASSERT_EQ(offered.size(), 1u);
    EXPECT_EQ(offered[0].name, "Nameless");
}

TEST_F(DevicesPageTest, AStagedUpdateWinsOverAnAvailableOne) {
    const std::tuple<std::optional<QString>, std::optional<QString>, std::optional<QString>> cases[] = {
        {std::nullopt, std::nullopt, std::nullopt},
        {std::nullopt, "2.1", "2.1"},
        {"2.2", "2.1", "2.2"},
        {"2.2", std::nullopt, "2.2"},
    };
    for (const auto& [staged, available, shown] : cases)
        EXPECT_EQ(DevicesPage::of(engine(), AudioSide::Output, staged, available).updateVersion, shown);
}

class DevicesPageBeforeStartTest : public EngineFixture {};

TEST_F(DevicesPageBeforeStartTest, BeforeTheEngineRunsOnlyTheCardsAndTheStripShow) {
    addOutputDevice("A", 2);
    addOutputDevice("B", 2);
    bluetooth.pair({"00-11", 4, 6, QString("Headset"), false});
    for (AudioSide side : {AudioSide::Output, AudioSide::Input}) {
        const DevicesPage page = DevicesPage::of(engine(), side);
        EXPECT_FALSE(page.showsOutputList);
        EXPECT_FALSE(page.showsInputList);
        EXPECT_TRUE(page.bluetooth.empty());
    }
}

}  // namespace
}  // namespace quellor::test
