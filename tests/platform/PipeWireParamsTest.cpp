// The Props and Route params that carry a node's volume and mute, as written and as read back.
#include <gtest/gtest.h>

#include <spa/param/latency-utils.h>
#include <spa/pod/builder.h>

#include "platform/PipeWireParams.h"

namespace quellor {
namespace {

TEST(PipeWireParamsTest, WhatIsWrittenReadsBackWithOnlyTheMembersGiven) {
    struct Case { std::optional<std::vector<float>> volumes; std::optional<bool> mute; };
    const Case cases[] = {
        {std::vector<float>{0.125f, 0.5f, 0.0f, 1.0f}, std::nullopt},
        {std::nullopt, true},
        {std::vector<float>{0.25f, 0.25f}, false},
    };
    for (const Case& c : cases) {
        const auto props = propsParam(c.volumes, c.mute);
        auto read = readPropsParam(props.data(), props.size());
        ASSERT_TRUE(read);
        EXPECT_EQ(read->channelVolumes, c.volumes);
        EXPECT_EQ(read->mute, c.mute);
        // A Props object is no Route, and the other way round.
        EXPECT_FALSE(readRouteParam(props.data(), props.size()));

        const auto route = routeParam(3, 7, c.volumes, c.mute);
        auto readRoute = readRouteParam(route.data(), route.size());
        ASSERT_TRUE(readRoute);
        EXPECT_EQ(readRoute->index, 3);
        EXPECT_EQ(readRoute->device, 7);
        EXPECT_EQ(readRoute->volumes.channelVolumes, c.volumes);
        EXPECT_EQ(readRoute->volumes.mute, c.mute);
        EXPECT_FALSE(readPropsParam(route.data(), route.size()));
    }
}

TEST(PipeWireParamsTest, TruncatedOrEmptyBytesAreNoParam) {
    const auto props = propsParam(std::vector<float>{1.0f, 1.0f}, true);
    for (std::size_t size : {std::size_t(0), std::size_t(4), props.size() - 1}) {
        EXPECT_FALSE(readPropsParam(props.data(), size)) << size;
        EXPECT_FALSE(readRouteParam(props.data(), size)) << size;
    }
    EXPECT_FALSE(readPropsParam(nullptr, 64));
}

TEST(PipeWireParamsTest, APortsLatencyInFramesCountsCyclesFramesAndTime) {
    struct Case { spa_latency_info info; std::uint32_t quantum, rate; bool playback; std::uint32_t frames; };
    const Case cases[] = {
        {SPA_LATENCY_INFO(SPA_DIRECTION_OUTPUT, .min_quantum = 0, .max_quantum = 0, .min_rate = 256, .max_rate = 256), 1024, 48000, true, 256},
        {SPA_LATENCY_INFO(SPA_DIRECTION_OUTPUT, .min_quantum = 1, .max_quantum = 1), 1024, 48000, true, 1024},
        {SPA_LATENCY_INFO(SPA_DIRECTION_INPUT, .min_ns = 1000000, .max_ns = 1000000), 512, 48000, false, 48},
        {SPA_LATENCY_INFO(SPA_DIRECTION_INPUT, .min_quantum = 0.5f, .max_quantum = 0.5f, .min_rate = 32, .max_rate = 32,
                          .min_ns = 500000, .max_ns = 500000), 256, 44100, false, 128 + 32 + 22},
    };
    for (const Case& c : cases) {
        std::uint8_t buffer[512];
        spa_pod_builder b = SPA_POD_BUILDER_INIT(buffer, sizeof buffer);
        const spa_pod* pod = spa_latency_build(&b, SPA_PARAM_Latency, &c.info);
        ASSERT_NE(pod, nullptr);
        auto latency = readLatencyParam(pod, SPA_POD_SIZE(pod));
        ASSERT_TRUE(latency);
        EXPECT_EQ(latency->playback, c.playback);
        EXPECT_EQ(latencyFrames(*latency, c.quantum, c.rate), c.frames);
    }
    const auto props = propsParam(std::vector<float>{1.0f}, std::nullopt);
    EXPECT_FALSE(readLatencyParam(props.data(), props.size()));
}

}  // namespace
}  // namespace quellor
