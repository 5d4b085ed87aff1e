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

    // Whether an audio device's UID belongs to this paired device: the audio layer begins the UIDs
    // of Bluetooth devices with their address, in either letter case. An empty address belongs to no
    // device: as a prefix it would claim every one (and a disconnect or a routing meant for it would
    // reach an unrelated device).
    bool ownsAudioDeviceUID(const QString& uid) const {
        return !id.isEmpty() && uid.startsWith(id, Qt::CaseInsensitive);
    }
};

}  // namespace quellor
