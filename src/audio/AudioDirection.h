#pragma once
// Output or input: selects the default-device property of the system object, the scope of the
// direction's streams, volume and mute, and the device-priority defaults key.

#include <QString>
#include <cstdint>

#include "platform/AudioConstants.h"

namespace quellor {

enum class AudioDirection { output, input };

// 'dOut' or 'dIn '.
constexpr std::uint32_t defaultDeviceSelector(AudioDirection d) {
    return d == AudioDirection::output ? hal::kDefaultOutputDevice : hal::kDefaultInputDevice;
}
// 'outp' or 'inpt'.
constexpr std::uint32_t streamScope(AudioDirection d) {
    return d == AudioDirection::output ? hal::kScopeOutput : hal::kScopeInput;
}
// "devicePriority" or "devicePriorityInput".
inline QString devicePriorityKey(AudioDirection d) {
    return d == AudioDirection::output ? QStringLiteral("devicePriority") : QStringLiteral("devicePriorityInput");
}

}  // namespace quellor
