// The symbols of devices and of this machine.
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <atomic>
#include <thread>
#include <vector>

#include "platform/AudioConstants.h"
#include "ui/panels/DeviceSymbols.h"
#include "ui/style/SymbolIcons.h"

namespace quellor::test {
namespace {

TEST(DeviceSymbols, BluetoothDevicesByNameThenByMinorClass) {
    struct Case {
        const char* name;
        std::uint32_t minorClass;
        const char* symbol;
    };
    const Case cases[] = {
        {"Ann's AirPods Max", 5, "airpodsmax"},  // the name wins over the class
        {"AIRPODS PRO (2nd generation)", 4, "airpodspro"},
        {"AirPods", 0, "airpods.gen3"},
        {"Boom", 5, "hifispeaker"},
        {"Pocket", 7, "hifispeaker"},
        {"Car kit", 8, "hifispeaker"},
        {"Amp", 10, "hifispeaker"},
        {"Podcast mic", 4, "mic"},
        {"Cans", 6, "headphones"},
        {"Cans", 1, "headphones"},
        {"", 0, "headphones"},
    };
    for (const Case& c : cases) EXPECT_EQ(bluetoothSymbolName(c.name, c.minorClass), c.symbol) << c.name;
}

TEST(DeviceSymbols, OtherDevicesByTransportAndForBuiltInOnesByDataSource) {
    const QString machine = "desktopcomputer";
    struct Case {
        const char* transport;
        const char* dataSource;
        bool isInput;
        QString symbol;
    };
    const Case cases[] = {
        {"bltn", "ispk", false, machine},  // the internal speakers are the machine
        {"bltn", "espk", false, "hifispeaker"},
        {"bltn", "line", false, "hifispeaker"},
        {"bltn", "hdpn", false, "headphones"},
        {"bltn", "imic", true, machine},
        {"bltn", "emic", true, "mic"},
        {"bltn", "line", true, "mic"},
        {"bltn", "hdpn", true, machine},  // an output's source means nothing to the input side
        {"usb ", "hdpn", false, "cable.connector"},  // the source counts only for built-in devices
        {"usb ", "", true, "mic"},
        {"pci ", "", false, "cable.connector"},
        {"thun", "", false, "cable.connector"},
        {"1394", "", false, "cable.connector"},
        {"eavb", "", true, "mic"},
        {"airp", "", false, "airplay.audio"},
        {"virt", "", false, "waveform"},
        {"ccwd", "", true, "iphone"},
        {"ccwl", "", true, "iphone"},
        {"dprt", "", false, "display"},
        {"hdmi", "", false, "display"},
        {"grup", "", false, "hifispeaker.2"},
        {"grup", "", true, "hifispeaker.2"},
        {"zzzz", "", false, "hifispeaker"},
        {"zzzz", "", true, "mic"},
    };
    auto code = [](const char* text) {
        std::uint32_t value = 0;
        for (int i = 0; text[0] && i < 4; ++i) value = (value << 8) | std::uint8_t(text[i]);
        return value;
    };
    for (const Case& c : cases)
        EXPECT_EQ(deviceSymbolName(code(c.transport), code(c.dataSource), c.isInput, machine), c.symbol)
            << c.transport << " " << c.dataSource << " input " << c.isInput;
}

TEST(DeviceSymbols, ABluetoothAudioDeviceTakesItsPairedDeviceOrElseItsOwnName) {
    AudioDevice headset;
    headset.transport = hal::kTransportBluetooth;
    headset.name = "AirPods Pro";
    const BluetoothAudioDevice paired{"aa-bb", "Studio monitor", true, 5};
    EXPECT_EQ(deviceSymbolName(headset, false, paired), "hifispeaker");
    EXPECT_EQ(deviceSymbolName(headset, false, std::nullopt), "airpodspro");
    headset.name = "Headset";
    headset.transport = hal::kTransportBluetoothLE;
    EXPECT_EQ(deviceSymbolName(headset, true, std::nullopt), "headphones") << "class 0 without a match";

    AudioDevice builtIn;
    builtIn.transport = hal::kTransportBuiltIn;
    builtIn.outputDataSource = fourCC("hdpn");
    builtIn.inputDataSource = fourCC("emic");
    EXPECT_EQ(deviceSymbolName(builtIn, false, std::nullopt, "macmini"), "headphones");
    EXPECT_EQ(deviceSymbolName(builtIn, true, std::nullopt, "macmini"), "mic");
    builtIn.outputDataSource = fourCC("ispk");
    EXPECT_EQ(deviceSymbolName(builtIn, false, std::nullopt, "macmini"), "macmini");
}

TEST(DeviceSymbols, TheMachineFollowsTheWordsOfItsProductName) {
    struct Case {
        const char* productName;
        const char* symbol;
    };
    const Case cases[] = {
        {"MacBookPro18,3", "laptopcomputer"},
        {"iMac21,1", "desktopcomputer"},
        {"Mac mini (M2, 2023)", "macmini"},
        {"Macmini9,1", "macmini"},
        {"Mac Studio", "macstudio"},
        {"MacPro7,1", "macpro.gen3"},
        {"Mac14,3", "laptopcomputer"},  // a bare model identifier says nothing
        {"ThinkPad X1 Carbon Gen 11", "laptopcomputer"},
        {"XPS 13 9310", "laptopcomputer"},
        {"ZenBook UX425EA", "laptopcomputer"},
        {"Laptop 13 (AMD Ryzen 7040Series)", "laptopcomputer"},
        {"OptiPlex 7090", "desktopcomputer"},
        {"ThinkCentre M75q Gen 2", "desktopcomputer"},
        {"HP EliteDesk 800 G6 Desktop Mini PC", "macmini"},
        {"NUC11PAHi5", "laptopcomputer"},  // "nuc" counts as a word only
        {"Intel NUC Kit", "macmini"},
        {"To Be Filled By O.E.M.", "desktopcomputer"},
        {"System Product Name", "desktopcomputer"},
        {"Standard PC (Q35 + ICH9, 2009)", "laptopcomputer"},
        {"", "laptopcomputer"},
    };
    for (const Case& c : cases) EXPECT_EQ(machineSymbolForProductName(c.productName), c.symbol) << c.productName;
}

TEST(DeviceSymbols, EverySymbolTheRulesNameHasAnIcon) {
    QStringList names = {"airpodsmax", "airpodspro", "airpods.gen3", "hifispeaker", "mic", "headphones",
                         "cable.connector", "airplay.audio", "waveform", "iphone", "display", "hifispeaker.2",
                         "laptopcomputer", "desktopcomputer", "macmini", "macstudio", "macpro.gen3"};
    for (const QString& n : names) EXPECT_TRUE(hasSymbol(n)) << qPrintable(n);
}

TEST(DeviceSymbols, TheProductNameIsReadTrimmedAndTheMachineWorkedOutOnce) {
    QTemporaryDir dir;
    const QString path = dir.filePath("product_name");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(" Mac mini\n\0", 11));
    file.close();
    EXPECT_EQ(readProductName(path), "Mac mini");
    EXPECT_EQ(readProductName(dir.filePath("missing")), "");

    std::atomic<int> reads{0};
    CachedMachineSymbol machine([&] {
        ++reads;
        return readProductName(path);
    });
    std::vector<std::thread> threads;
    for (int i = 0; i < 4; ++i) threads.emplace_back([&] { EXPECT_EQ(machine.get(), "macmini"); });
    for (auto& t : threads) t.join();
    // A changed name is not read again.
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write("ThinkPad\n");
    file.close();
    EXPECT_EQ(machine.get(), "macmini");
    EXPECT_EQ(reads.load(), 1);
}

}  // namespace
}  // namespace quellor::test
