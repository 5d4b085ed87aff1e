// The rules that map PipeWire's view of nodes and clients onto audio objects.
#include <gtest/gtest.h>

#include <spa/param/param.h>
#include <spa/param/route.h>
#include <spa/pod/builder.h>

#include <map>
#include <string>
#include <vector>

#include "platform/AudioConstants.h"
#include "platform/PipeWireNode.h"
#include "platform/PipeWireParams.h"

namespace quellor {
namespace {

TEST(PipeWireNodeTest, TheLoudestChannelShowsAsTheCubeRootOfItsLinearVolume) {
    EXPECT_FLOAT_EQ(cubicVolume({0.125f, 0.125f}), 0.5f);
    EXPECT_FLOAT_EQ(cubicVolume({0.001f, 0.125f, 0.0f}), 0.5f);
    EXPECT_FLOAT_EQ(cubicVolume({}), 0.0f);
}

TEST(PipeWireNodeTest, ANewLevelKeepsTheBalanceBetweenChannels) {
    struct Case { std::vector<float> current; float level; std::vector<float> expected; };
    const Case cases[] = {
        {{1.0f, 1.0f}, 0.5f, {0.125f, 0.125f}},
        {{1.0f, 0.5f}, 0.5f, {0.125f, 0.0625f}},     // the left-leaning balance stays
        {{0.0f, 0.0f, 0.0f}, 0.5f, {0.125f, 0.125f, 0.125f}},  // silent channels all take the level
        {{0.3f, 0.6f}, 0.0f, {0.0f, 0.0f}},
        {{0.3f, 0.6f}, 2.0f, {0.5f, 1.0f}},           // levels beyond full are full
    };
    for (const Case& c : cases) {
        const auto result = channelVolumesFor(c.current, c.level);
        ASSERT_EQ(result.size(), c.expected.size());
        for (std::size_t i = 0; i < result.size(); ++i) EXPECT_FLOAT_EQ(result[i], c.expected[i]) << "channel " << i;
        if (c.level > 0 && c.level <= 1) EXPECT_FLOAT_EQ(cubicVolume(result), c.level);
    }
}

TEST(PipeWireNodeTest, AStreamBelongsToTheProcessBehindItsClient) {
    struct Case { std::int32_t secPid, clientAppPid; bool ofPulseServer; std::int32_t nodeAppPid, expected; const char* why; };
    const Case cases[] = {
        {100, 100, false, 0, 100, "a client that connected by itself"},
        {100, 0, false, 0, 100, "a client that names no application pid"},
        {5000, 2, false, 2, 5000, "a sandboxed client names its namespace's pid: the kernel's word counts"},
        {7, 200, true, 200, 200, "the PulseAudio server's client for one of its applications"},
        {7, 0, true, 0, 7, "a PulseAudio client that names no application"},
        {0, 0, false, 300, 300, "no client known: the node's own id"},
        {0, 0, false, 0, 0, "nothing names a process"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(streamProcessID(c.secPid, c.clientAppPid, c.ofPulseServer, c.nodeAppPid), c.expected) << c.why;
}

using Props = std::map<std::string, std::string>;

std::string value(const Props& props, const char* key) {
    auto it = props.find(key);
    return it == props.end() ? std::string() : it->second;
}

// An active Route param as an ALSA card (or a Bluetooth device) reports it: the port's kind is one
// entry of its info, after the entries' count.
std::vector<std::uint8_t> routePod(bool output, const char* name, const char* description,
                                   std::vector<std::pair<const char*, const char*>> info) {
    std::uint8_t buffer[1024];
    spa_pod_builder b = SPA_POD_BUILDER_INIT(buffer, sizeof buffer);
    spa_pod_frame route, list;
    spa_pod_builder_push_object(&b, &route, SPA_TYPE_OBJECT_ParamRoute, SPA_PARAM_Route);
    spa_pod_builder_add(&b, SPA_PARAM_ROUTE_index, SPA_POD_Int(2), SPA_PARAM_ROUTE_direction,
                        SPA_POD_Id(output ? SPA_DIRECTION_OUTPUT : SPA_DIRECTION_INPUT), SPA_PARAM_ROUTE_device,
                        SPA_POD_Int(4), SPA_PARAM_ROUTE_name, SPA_POD_String(name), SPA_PARAM_ROUTE_description,
                        SPA_POD_String(description), SPA_PARAM_ROUTE_priority, SPA_POD_Int(100),
                        SPA_PARAM_ROUTE_available, SPA_POD_Id(SPA_PARAM_AVAILABILITY_yes), 0);
    spa_pod_builder_prop(&b, SPA_PARAM_ROUTE_info, 0);
    spa_pod_builder_push_struct(&b, &list);
    spa_pod_builder_int(&b, std::int32_t(info.size()));
    for (const auto& [key, text] : info) {
        spa_pod_builder_string(&b, key);
        spa_pod_builder_string(&b, text);
    }
    spa_pod_builder_pop(&b, &list);
    const auto* pod = static_cast<const spa_pod*>(spa_pod_builder_pop(&b, &route));
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(pod);
    return std::vector<std::uint8_t>(bytes, bytes + SPA_POD_SIZE(pod));
}

// The property sets of real nodes, their cards and their active routes, as PipeWire 0.3.65 with its
// session manager reports them (pw-dump), reduced to what names the kind of device.
TEST(PipeWireNodeTest, RealDevicesGetTheirTransportAndDataSource) {
    const Props builtInCard = {
        {"device.api", "alsa"}, {"device.bus", "pci"}, {"device.bus-path", "pci-0000:00:1f.3"},
        {"device.description", "Built-in Audio"}, {"device.form-factor", "internal"},
        {"device.icon-name", "audio-card-analog-pci"}, {"device.name", "alsa_card.pci-0000_00_1f.3"},
        {"media.class", "Audio/Device"}, {"api.alsa.card", "0"}, {"api.alsa.card.name", "HDA Intel PCH"}};
    const Props builtInSink = {
        {"node.name", "alsa_output.pci-0000_00_1f.3.analog-stereo"}, {"media.class", "Audio/Sink"},
        {"device.api", "alsa"}, {"device.class", "sound"}, {"device.profile.name", "analog-stereo"},
        {"device.profile.description", "Analog Stereo"}, {"card.profile.device", "4"}, {"device.routes", "2"},
        {"api.alsa.path", "front:0"}, {"api.alsa.pcm.card", "0"}, {"api.alsa.pcm.stream", "playback"},
        {"api.alsa.card.name", "HDA Intel PCH"}};
    const Props builtInSource = {
        {"node.name", "alsa_input.pci-0000_00_1f.3.analog-stereo"}, {"media.class", "Audio/Source"},
        {"device.api", "alsa"}, {"device.profile.name", "analog-stereo"}, {"card.profile.device", "5"},
        {"api.alsa.path", "front:0"}, {"api.alsa.pcm.card", "0"}, {"api.alsa.pcm.stream", "capture"}};
    const Props hdmiCard = {
        {"device.api", "alsa"}, {"device.bus", "pci"}, {"device.bus-path", "pci-0000:01:00.1"},
        {"device.description", "TU106 High Definition Audio Controller"}, {"device.form-factor", "internal"},
        {"device.icon-name", "audio-card-analog-pci"}, {"device.name", "alsa_card.pci-0000_01_00.1"},
        {"media.class", "Audio/Device"}, {"api.alsa.card", "1"}};
    const Props hdmiSink = {
        {"node.name", "alsa_output.pci-0000_01_00.1.hdmi-stereo-extra1"}, {"media.class", "Audio/Sink"},
        {"device.api", "alsa"}, {"device.profile.name", "hdmi-stereo-extra1"},
        {"device.profile.description", "Digital Stereo (HDMI 2)"}, {"card.profile.device", "8"},
        {"api.alsa.path", "hdmi:1,1"}, {"api.alsa.pcm.card", "1"}};
    const Props usbCard = {
        {"device.api", "alsa"}, {"device.bus", "usb"}, {"device.bus-path", "pci-0000:00:14.0-usb-0:2:1.0"},
        {"device.description", "Logitech USB Headset H390"}, {"device.form-factor", "headset"},
        {"device.icon-name", "audio-headset-usb"},
        {"device.name", "alsa_card.usb-Logitech_Logitech_USB_Headset_H390_00000000-00"},
        {"device.vendor.id", "0x046d"}, {"device.product.id", "0x0a44"}, {"media.class", "Audio/Device"}};
    const Props usbSink = {
        {"node.name", "alsa_output.usb-Logitech_Logitech_USB_Headset_H390_00000000-00.analog-stereo"},
        {"media.class", "Audio/Sink"}, {"device.api", "alsa"}, {"device.profile.name", "analog-stereo"},
        {"card.profile.device", "3"}, {"api.alsa.path", "front:2"}, {"api.alsa.pcm.card", "2"}};
    Props usbCardWithoutBus = usbCard;
    usbCardWithoutBus.erase("device.bus");
    usbCardWithoutBus["device.form-factor"] = "speaker";
    usbCardWithoutBus["device.icon-name"] = "audio-speakers-usb";
    const Props bluetoothCard = {
        {"device.api", "bluez5"}, {"device.bus", "bluetooth"}, {"device.form-factor", "headphone"},
        {"device.icon-name", "audio-headphones-bluetooth"}, {"device.description", "WH-1000XM4"},
        {"device.name", "bluez_card.00_1B_66_81_8B_1A"}, {"api.bluez5.address", "00:1B:66:81:8B:1A"},
        {"api.bluez5.class", "0x240404"}, {"media.class", "Audio/Device"}};
    const Props bluetoothSink = {
        {"node.name", "bluez_output.00_1B_66_81_8B_1A.1"}, {"media.class", "Audio/Sink"}, {"device.api", "bluez5"},
        {"api.bluez5.profile", "a2dp-sink"}, {"api.bluez5.codec", "sbc"}, {"card.profile.device", "1"},
        {"device.routes", "1"}};
    const Props nullSink = {
        {"node.name", "quellor-test-sink"}, {"media.class", "Audio/Sink"},
        {"factory.name", "support.null-audio-sink"}, {"audio.position", "FL,FR"}, {"monitor.channel-volumes", "true"}};
    const Props noCard;

    using PortInfo = std::vector<std::pair<const char*, const char*>>;
    struct Route { const char* name; const char* description; PortInfo info; };
    const Route speaker{"analog-output-speaker", "Speakers",
                        {{"port.type", "speaker"}, {"port.availability-group", "Legacy 3"}, {"card.profile.port", "1"}}};
    const Route headphones{"analog-output-headphones", "Headphones",
                           {{"port.availability-group", "Legacy 2"}, {"port.type", "headphones"}}};
    const Route lineOut{"analog-output-lineout", "Line Out", {{"port.type", "line"}}};
    const Route internalMic{"analog-input-internal-mic", "Internal Microphone", {{"port.type", "mic"}}};
    const Route jackMic{"analog-input-mic", "Microphone", {{"port.type", "mic"}}};
    const Route headsetMic{"analog-input-headset-mic", "Headset Microphone", {{"port.type", "headset"}}};
    const Route hdmi{"hdmi-output-1", "HDMI / DisplayPort 2", {{"port.type", "hdmi"}, {"device.product.name", "DELL U2719D"}}};
    const Route usbOutput{"analog-output", "Analog Output", {{"port.type", "analog"}}};
    const Route bluetoothOutput{"headphone-output", "Headphone", {{"port.type", "headphones"}}};
    const Route noPortType{"analog-output", "Analog Output", {{"card.profile.port", "0"}}};

    struct Case {
        const char* what;
        const Props& node;
        const Props& card;
        const Route* route;
        std::uint32_t transport, dataSource;
    };
    const Case cases[] = {
        // Built-in: the speakers show the machine, the jacks their own symbols.
        {"built-in speakers", builtInSink, builtInCard, &speaker, hal::kTransportBuiltIn, hal::kDataSourceInternalSpeaker},
        {"built-in headphone jack", builtInSink, builtInCard, &headphones, hal::kTransportBuiltIn, hal::kDataSourceHeadphones},
        {"built-in line out", builtInSink, builtInCard, &lineOut, hal::kTransportBuiltIn, hal::kDataSourceLine},
        {"built-in microphone", builtInSource, builtInCard, &internalMic, hal::kTransportBuiltIn, hal::kDataSourceInternalMic},
        {"microphone jack", builtInSource, builtInCard, &jackMic, hal::kTransportBuiltIn, hal::kDataSourceExternalMic},
        {"headset jack's microphone", builtInSource, builtInCard, &headsetMic, hal::kTransportBuiltIn, hal::kDataSourceExternalMic},
        {"built-in card before its routes are known", builtInSink, builtInCard, nullptr, hal::kTransportBuiltIn, 0},
        {"route without a port type", builtInSink, builtInCard, &noPortType, hal::kTransportBuiltIn, 0},
        // HDMI and DisplayPort on an internal card: a display, by the port or else by the profile.
        {"HDMI/DisplayPort sink", hdmiSink, hdmiCard, &hdmi, hal::kTransportHDMI, 0},
        {"HDMI sink before its route is known", hdmiSink, hdmiCard, nullptr, hal::kTransportHDMI, 0},
        {"USB headset", usbSink, usbCard, &usbOutput, hal::kTransportUSB, 0},
        {"USB card naming its bus only in its icon", usbSink, usbCardWithoutBus, &usbOutput, hal::kTransportUSB, 0},
        {"Bluetooth A2DP sink", bluetoothSink, bluetoothCard, &bluetoothOutput, hal::kTransportBluetooth,
         hal::kDataSourceHeadphones},
        {"null sink", nullSink, noCard, nullptr, hal::kTransportVirtual, 0},
    };
    for (const Case& c : cases) {
        PipeWireNode node;
        node.kind = value(c.node, "media.class") == "Audio/Source" ? PipeWireNode::Kind::Source : PipeWireNode::Kind::Sink;
        node.api = value(c.node, "device.api");
        node.bus = value(c.node, "device.bus");
        if (node.bus.empty()) node.bus = value(c.card, "device.bus");
        node.profileName = value(c.node, "device.profile.name");
        node.formFactor = value(c.card, "device.form-factor");
        node.iconName = value(c.card, "device.icon-name");
        if (c.route) {
            const auto pod = routePod(node.kind == PipeWireNode::Kind::Sink, c.route->name,
                                      c.route->description, c.route->info);
            auto route = readRouteParam(pod.data(), pod.size());
            ASSERT_TRUE(route) << c.what;
            EXPECT_EQ(route->name, c.route->name) << c.what;
            node.portType = route->portType;
            node.portName = route->name;
        }
        EXPECT_EQ(fourCCText(transportFor(node)).toStdString(), fourCCText(c.transport).toStdString()) << c.what;
        EXPECT_EQ(fourCCText(dataSourceFor(node)).toStdString(), fourCCText(c.dataSource).toStdString()) << c.what;
    }
}

}  // namespace
}  // namespace quellor
