#pragma once
// Description of one simulated audio device: what SimulatedHardware::addDevice builds its
// properties from, and what a world file lists. A plain value type.

#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>

#include "platform/AudioConstants.h"
#include "platform/AudioTypes.h"
#include "platform/StreamConfiguration.h"

namespace quellor {

struct SimulatedDevice {
    // A volume control ('vmvc' or 'volm') of one scope: its value (0...1) and whether it is settable.
    struct Volume {
        float value = 1.0f;
        bool settable = true;
        friend bool operator==(const Volume&, const Volume&) = default;
    };
    struct Mute {
        bool muted = false;
        bool settable = true;
        friend bool operator==(const Mute&, const Mute&) = default;
    };
    // One direction of the device. A control that is absent is a property the device does not have.
    struct Scope {
        StreamConfiguration streams;                // 'slay'; no buffers = no channels in this direction
        std::optional<std::uint32_t> dataSource;    // 'ssrc'
        std::optional<Volume> virtualMainVolume;    // 'vmvc'
        std::optional<Volume> volumeScalar;         // 'volm'
        std::optional<Mute> mute;                   // 'mute'
        std::uint32_t safetyOffset = 0;             // 'saft', frames
        std::uint32_t latency = 0;                  // 'ltnc', frames
        friend bool operator==(const Scope&, const Scope&) = default;
    };

    QString uid;
    QString name;
    std::uint32_t transport = hal::kTransportBuiltIn;  // 'tran'
    Scope output;
    Scope input;
    double sampleRate = 48000.0;                        // 'nsrt'; the stream formats follow it
    std::uint32_t bufferFrameSize = 512;                // 'fsiz'
    ValueRange bufferFrameSizeRange{15.0, 4096.0};      // 'fsz#'
    bool alive = true;                                  // 'livn'
    bool runningSomewhere = false;                      // 'gone'
    QStringList subDeviceUIDs;                          // 'grup'; present only on aggregate devices

    bool isAggregate() const { return transport == hal::kTransportAggregate; }
    friend bool operator==(const SimulatedDevice&, const SimulatedDevice&) = default;
};

}  // namespace quellor
