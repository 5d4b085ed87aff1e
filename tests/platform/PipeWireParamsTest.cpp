// The Props and Route params that carry a node's volume and mute, as written and as read back.
#include <gtest/gtest.h>

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

}  // namespace
}  // namespace quellor
