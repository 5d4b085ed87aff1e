#pragma once
// One audio device as the device monitors list it. Plain value; made only by the monitors' refresh
// (and by tests).

#include <QString>
#include <cstdint>

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

}  // namespace quellor
