#pragma once
// The device row of the device page, as logic. It shows one device of a device monitor: its symbol and
// name, a seal for interfaces the program is verified with, and a check mark on the default device. A
// click makes the device the default of its direction; a drag is handed to the device list (reorder,
// drop on the MAIN card). A row of a paired Bluetooth device offers a disconnect button while it is
// highlighted, in place of the check mark. What the row's pointer does is DeviceRowGesture's.
//
// Threads: main thread only.

#include <QString>
#include <optional>

#include "audio/AudioDevice.h"
#include "audio/BluetoothAudioDevice.h"

namespace quellor {

class AudioDeviceMonitor;
class MixerEngine;

struct DeviceRow {
    static constexpr int kNamePointSize = 12;
    static constexpr double kHighlightOpacity = 0.6;
    static constexpr const char* kSealHelp = "Verified support \u2014 tested with Quellor";

    enum class Trailing { None, Disconnect, Checkmark };

    QString symbol;
    QString name;
    bool isDefault = false;  // accent icon, semibold name
    bool isVerified = false;
    bool isHighlighted = false;
    Trailing trailing = Trailing::None;
    std::optional<BluetoothAudioDevice> bluetooth;  // what the disconnect button disconnects

    // `hovering`: the pointer is over the row; `suppressHover`: another row is being dragged;
    // `dragging`: this row is.
    static DeviceRow of(const AudioDevice& device, bool isInput, bool isDefault,
                        const std::optional<BluetoothAudioDevice>& bluetooth, bool hovering, bool suppressHover,
                        bool dragging);
    static DeviceRow of(MixerEngine& engine, const AudioDevice& device, const AudioDeviceMonitor& monitor,
                        bool hovering, bool suppressHover, bool dragging);
};

// Interfaces the program is tested with: a name that contains one of them, in any letter case.
bool isVerifiedDevice(const QString& name);

}  // namespace quellor
