#include "platform/PipeWireNode.h"

#include <algorithm>
#include <cmath>

#include "platform/AudioConstants.h"

namespace quellor {

float cubicVolume(const std::vector<float>& channelVolumes) {
    float loudest = 0.0f;
    for (float v : channelVolumes) loudest = std::max(loudest, v);
    return std::cbrt(loudest);
}

std::vector<float> channelVolumesFor(const std::vector<float>& current, float level) {
    const float linear = std::pow(std::clamp(level, 0.0f, 1.0f), 3.0f);
    float loudest = 0.0f;
    for (float v : current) loudest = std::max(loudest, v);
    std::vector<float> result(current.size(), linear);
    if (loudest > 0.0f)
        for (std::size_t i = 0; i < current.size(); ++i) result[i] = current[i] / loudest * linear;
    return result;
}

std::int32_t streamProcessID(std::int32_t clientSecPid, std::int32_t clientAppPid, bool clientOfPulseServer,
                             std::int32_t nodeAppPid) {
    if (clientOfPulseServer && clientAppPid > 0) return clientAppPid;
    if (clientSecPid > 0) return clientSecPid;
    if (nodeAppPid > 0) return nodeAppPid;
    return std::max(clientAppPid, 0);
}

std::uint32_t transportFor(const std::string& api, const std::string& bus) {
    if (api == "bluez5") return hal::kTransportBluetooth;
    if (api.empty()) return hal::kTransportVirtual;
    if (bus == "usb") return hal::kTransportUSB;
    return hal::kTransportBuiltIn;
}

}  // namespace quellor
