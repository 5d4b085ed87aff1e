#pragma once
// One paired Bluetooth device of the audio class, as the device panels list it. Plain value.

#include <QString>
#include <cstdint>

namespace quellor {

struct BluetoothAudioDevice {
    QString id;    // the device's address: its identity and how it is found again to connect
    QString name;  // the address when the device has no name
    bool isConnected = false;
    std::uint32_t minorClass = 0;

    bool operator==(const BluetoothAudioDevice&) const = default;
};

}  // namespace quellor
