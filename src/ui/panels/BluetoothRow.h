#pragma once
// The Bluetooth row of the device page, as logic: it shows one paired Bluetooth device that is not
// an output; the whole row is a button that connects it, disabled while a connection or
// disconnection of that device runs.
//
// Threads: main thread only.

#include <QString>

#include "audio/BluetoothAudioDevice.h"

namespace quellor {

class BluetoothAudioMonitor;

struct BluetoothRow {
    static constexpr int kNamePointSize = 12;
    static constexpr int kConnectPointSize = 11;
    static constexpr double kHighlightOpacity = 0.6;

    enum class Trailing { None, Connect, Progress };

    QString symbol;
    QString name;
    bool isEnabled = true;  // false while busy: a second click cannot start a second connection
    bool isHighlighted = false;
    Trailing trailing = Trailing::None;

    static BluetoothRow of(const BluetoothAudioDevice& device, bool isBusy, bool hovering);
    static BluetoothRow of(const BluetoothAudioMonitor& monitor, const BluetoothAudioDevice& device, bool hovering);
};

}  // namespace quellor
