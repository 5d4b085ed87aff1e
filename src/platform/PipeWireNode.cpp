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

namespace {

bool startsWith(const std::string& text, const char* prefix) { return text.rfind(prefix, 0) == 0; }

bool endsWith(const std::string& text, const std::string& suffix) {
    return text.size() >= suffix.size() && text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

// The bus the node names, or else the one its card's icon name ends with ("audio-headset-usb").
std::string busOf(const PipeWireNode& node) {
    if (!node.bus.empty()) return node.bus;
    for (const char* bus : {"usb", "bluetooth", "firewire", "pci"})
        if (endsWith(node.iconName, std::string("-") + bus)) return bus;
    return {};
}

}  // namespace

std::uint32_t transportFor(const PipeWireNode& node) {
    const std::string bus = busOf(node);
    if (node.api == "bluez5" || bus == "bluetooth") return hal::kTransportBluetooth;
    if (node.api.empty()) return hal::kTransportVirtual;
    if (node.portType == "hdmi" || startsWith(node.profileName, "hdmi-")) return hal::kTransportHDMI;
    if (node.formFactor == "internal") return hal::kTransportBuiltIn;
    if (bus == "usb") return hal::kTransportUSB;
    if (bus == "firewire") return hal::kTransportFireWire;
    return hal::kTransportBuiltIn;
}

std::uint32_t dataSourceFor(const PipeWireNode& node) {
    const std::string& type = node.portType;
    if (node.kind == PipeWireNode::Kind::Source) {
        // "analog-input-internal-mic" is the machine's own; the jacks' are "analog-input-mic",
        // "analog-input-front-mic", "analog-input-headset-mic"...
        if (type == "mic") return node.portName.find("internal") != std::string::npos ? hal::kDataSourceInternalMic
                                                                                     : hal::kDataSourceExternalMic;
        if (type == "headset") return hal::kDataSourceExternalMic;
        if (type == "line") return hal::kDataSourceLine;
        return 0;
    }
    if (type == "speaker") return hal::kDataSourceInternalSpeaker;
    if (type == "headphones" || type == "headset") return hal::kDataSourceHeadphones;
    if (type == "line") return hal::kDataSourceLine;
    return 0;
}

}  // namespace quellor
