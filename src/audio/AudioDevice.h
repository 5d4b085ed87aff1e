#pragma once
// One audio device as the device monitors list it. Plain value; made only by the monitors' refresh
// (and by tests).

#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

#include "platform/AudioConstants.h"

namespace quellor {

struct AudioDevice {
    std::uint32_t id = 0;               // hardware object id
    QString uid;                        // stable identity: priorities, pairings and routes use it
    QString name;
    std::uint32_t transport = 0;        // four-char transport type; 0 when unreadable
    std::uint32_t outputDataSource = 0; // 0 when unreadable
    std::uint32_t inputDataSource = 0;  // 0 when unreadable
    int outputChannels = 0;             // output channels, in both directions' lists

    bool operator==(const AudioDevice&) const = default;
};

// Bluetooth Classic ('blue') or Bluetooth LE ('blea').
constexpr bool isBluetoothTransport(std::uint32_t transport) {
    return transport == hal::kTransportBluetooth || transport == hal::kTransportBluetoothLE;
}

// The output device to lead among `devices`: the first wired one, since a wired device keeps a
// steadier clock; a Bluetooth device only when there is nothing else; none for an empty list.
inline std::optional<AudioDevice> preferredOutputDevice(const std::vector<AudioDevice>& devices) {
    for (const AudioDevice& d : devices)
        if (!isBluetoothTransport(d.transport)) return d;
    if (!devices.empty()) return devices.front();
    return std::nullopt;
}

}  // namespace quellor
