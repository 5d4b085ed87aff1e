// The rules that map PipeWire's view of nodes and clients onto audio objects.
#include <gtest/gtest.h>

#include "platform/AudioConstants.h"
#include "platform/PipeWireNode.h"

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
    struct Case { std::int32_t secPid, clientAppPid, nodeAppPid, expected; const char* why; };
    const Case cases[] = {
        {100, 100, 0, 100, "a client that connected by itself"},
        {100, 0, 0, 100, "a client that names no application pid"},
        {100, 0, 300, 100, "the kernel's word over the node's"},
        {7, 200, 200, 200, "a server speaking for an application (the PulseAudio server)"},
        {0, 0, 300, 300, "no client known: the node's own id"},
        {0, 0, 0, 0, "nothing names a process"},
    };
    for (const Case& c : cases) EXPECT_EQ(streamProcessID(c.secPid, c.clientAppPid, c.nodeAppPid), c.expected) << c.why;
}

TEST(PipeWireNodeTest, TheTransportFollowsTheDeviceAPIAndBus) {
    EXPECT_EQ(transportFor("alsa", "pci"), hal::kTransportBuiltIn);
    EXPECT_EQ(transportFor("alsa", "usb"), hal::kTransportUSB);
    EXPECT_EQ(transportFor("bluez5", ""), hal::kTransportBluetooth);
    EXPECT_EQ(transportFor("", ""), hal::kTransportVirtual);
}

}  // namespace
}  // namespace quellor
