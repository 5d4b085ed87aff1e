#pragma once
// One audio device as the device monitors list it. Plain value; made only by the monitors' refresh
// (and by tests).

#include <QString>
#include <cstdint>

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

}  // namespace quellor
