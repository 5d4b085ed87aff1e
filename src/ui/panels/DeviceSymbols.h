#pragma once
// The small symbol shown for each audio device by the device rows, the Bluetooth rows and the bus
// cards, and the symbol of this machine that stands for its built-in speakers and microphone.
//
// A Bluetooth device is drawn after its name (the AirPods family) or its minor device class of the
// Audio/Video major class; any other device after its transport type, and a built-in device also
// after its current data source (external speakers and line out, headphones, external microphone):
// what is left of a built-in device is the machine itself.
//
// The machine's symbol comes from the product name the firmware reports (DMI): a laptop, a desktop
// or a small-form machine by the words of that name; a name that says nothing gives the laptop, the
// most common machine this program runs on. The name is read once per process.
//
// Threads: the pure functions on any thread; machineSymbolName() may be first called from several
// threads at once and reads the name exactly once.

#include <QString>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>

#include "audio/AudioDevice.h"
#include "audio/BluetoothAudioDevice.h"

namespace quellor {

// Minor device classes of the Bluetooth Audio/Video major class.
namespace bluetooth_minor {
constexpr std::uint32_t kMicrophone = 4;
constexpr std::uint32_t kLoudspeaker = 5;
constexpr std::uint32_t kHeadphones = 6;
constexpr std::uint32_t kPortableAudio = 7;
constexpr std::uint32_t kCarAudio = 8;
constexpr std::uint32_t kHiFiAudio = 10;
}  // namespace bluetooth_minor

QString bluetoothSymbolName(const QString& name, std::uint32_t minorClass);

// `dataSource` is the current data source of the device in the direction shown; it only matters for
// built-in devices.
QString deviceSymbolName(std::uint32_t transport, std::uint32_t dataSource, bool isInput,
                         const QString& machineSymbol);

// The symbol of `device` in a list of one direction; `bluetooth` is its paired Bluetooth device, if
// any (its name and class describe it better than the audio device's name).
QString deviceSymbolName(const AudioDevice& device, bool isInput, const std::optional<BluetoothAudioDevice>& bluetooth,
                         const QString& machineSymbol);
QString deviceSymbolName(const AudioDevice& device, bool isInput, const std::optional<BluetoothAudioDevice>& bluetooth);

// The machine symbol of a product name, from its words.
QString machineSymbolForProductName(const QString& productName);

// The product name in a DMI attribute file, trimmed of the line end, spaces and control characters;
// empty when the file cannot be read.
QString readProductName(const QString& path);
inline constexpr const char* kProductNamePath = "/sys/class/dmi/id/product_name";

// A machine symbol worked out on first use and kept.
class CachedMachineSymbol {
public:
    explicit CachedMachineSymbol(std::function<QString()> readProductName) : read_(std::move(readProductName)) {}
    const QString& get();

private:
    std::function<QString()> read_;
    std::once_flag once_;
    QString symbol_;
};

// This machine's symbol, from kProductNamePath, read once per process.
const QString& machineSymbolName();

}  // namespace quellor
