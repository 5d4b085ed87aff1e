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

TEST(PipeWireNodeTest, TheTransportFollowsTheDeviceAPIAndBus) {
    EXPECT_EQ(transportFor("alsa", "pci"), hal::kTransportBuiltIn);
    EXPECT_EQ(transportFor("alsa", "usb"), hal::kTransportUSB);
    EXPECT_EQ(transportFor("bluez5", ""), hal::kTransportBluetooth);
    EXPECT_EQ(transportFor("", ""), hal::kTransportVirtual);
}

}  // namespace
}  // namespace quellor
