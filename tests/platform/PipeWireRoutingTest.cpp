// Where tapped streams play and which links a mix needs, decided without a server.
#include <gtest/gtest.h>

#include "platform/PipeWireRouting.h"

namespace quellor::routing {
namespace {

const Target kSink{"Spa:Id", "90"};         // the tap sink's object.serial
const Target kHeadset{"Spa:Id", "31"};      // a target the user chose (object.serial)
const Target kStoredNode{"Spa:Id", "44"};   // a restored target, by registry id
const Target kElsewhere{"Spa:Id", "77"};

TEST(PipeWireRoutingTest, StreamsOfTheTapsProcessesMoveOnceWithWhatTheyHadBefore) {
    TapRoute tap{{100, 101}, "90", {}};
    tap.moved[7] = Moved{100, {}};
    const std::vector<Stream> streams{{5, 100}, {6, 101}, {7, 100}, {8, 200}, {9, 0}};
    const std::map<std::uint32_t, Targets> current{{5, {kHeadset, std::nullopt}}, {6, {std::nullopt, kStoredNode}}};

    const auto moves = streamsToMove(tap, streams, current);
    // Both copies' streams move, the one already moved and the other process's stay.
    const std::map<std::uint32_t, Moved> expected{{5, {100, {kHeadset, std::nullopt}}}, {6, {101, {std::nullopt, kStoredNode}}}};
    EXPECT_EQ(moves, expected);
    EXPECT_EQ(moveWrite(tap, 5), (Write{5, kTargetObject, kSink}));

    // Nothing moves while the sink is not in the registry.
    tap.sinkSerial.clear();
    EXPECT_TRUE(streamsToMove(tap, streams, current).empty());
}

TEST(PipeWireRoutingTest, ReleasingPutsBothTargetsBackUnlessTheStreamWentOrWasMovedOrIsHeld) {
    struct Case {
        const char* what;
        Targets before;
        Targets now;
        bool present;
        std::set<std::int32_t> held;
        std::vector<Write> writes;
    };
    const Case cases[] = {
        {"no target before: cleared", {}, {kSink, std::nullopt}, true, {}, {{3, kTargetObject, std::nullopt}}},
        {"our write not echoed yet: still ours", {kHeadset, std::nullopt}, {}, true, {}, {{3, kTargetObject, kHeadset}}},
        {"a stored target by id, rewritten after the object so that it is stored again",
         {std::nullopt, kStoredNode}, {kSink, kStoredNode}, true, {},
         {{3, kTargetObject, std::nullopt}, {3, kTargetNode, kStoredNode}}},
        {"a target.node written meanwhile is taken away", {}, {kSink, kStoredNode}, true, {},
         {{3, kTargetObject, std::nullopt}, {3, kTargetNode, std::nullopt}}},
        {"moved elsewhere by the user: left there", {kHeadset, std::nullopt}, {kElsewhere, std::nullopt}, true, {}, {}},
        {"the stream is gone", {kHeadset, std::nullopt}, {kSink, std::nullopt}, false, {}, {}},
        {"another tap holds the process: it takes the stream", {kHeadset, std::nullopt}, {kSink, std::nullopt}, true, {100}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TapRoute tap{{100}, "90", {{3, Moved{100, c.before}}}};
        std::map<std::uint32_t, Targets> current;
        if (c.now.object || c.now.node) current[3] = c.now;
        std::set<std::uint32_t> present;
        if (c.present) present = {3, 12};
        EXPECT_EQ(releaseWrites(tap, current, present, c.held), c.writes);
    }
}

TEST(PipeWireRoutingTest, LinksJoinTheSinkMonitorTheFilterAndEachDeviceChannelByChannel) {
    // Sink 10 (monitor ports 11, 12 and playback inputs 13, 14), filter 20, devices 30 (stereo) and 40 (mono).
    std::map<std::uint32_t, Port> ports;
    auto add = [&](std::uint32_t id, std::uint32_t node, bool output, bool monitor, std::uint32_t index, std::string name) {
        ports[id] = Port{id, node, output, monitor, index, std::move(name)};
    };
    add(12, 10, true, true, 1, "monitor_FR");
    add(11, 10, true, true, 0, "monitor_FL");
    add(13, 10, false, false, 0, "playback_FL");
    add(14, 10, false, false, 1, "playback_FR");
    add(21, 20, false, false, 0, "in_1");
    add(22, 20, false, false, 1, "in_2");
    add(23, 20, true, false, 0, "out_1_1");
    add(24, 20, true, false, 1, "out_1_2");
    add(25, 20, true, false, 2, "out_2_1");
    add(31, 30, false, false, 0, "playback_FL");
    add(32, 30, false, false, 1, "playback_FR");
    add(33, 30, true, true, 0, "monitor_FL");
    add(41, 40, false, false, 0, "playback_MONO");

    const LinkPlan all = planLinks(ports, 10, 20, 2, {30, 40}, {2, 1});
    const std::vector<std::pair<std::uint32_t, std::uint32_t>> expected{{11, 21}, {12, 22}, {23, 31}, {24, 32}, {25, 41}};
    EXPECT_EQ(all.links, expected);
    EXPECT_TRUE(all.complete);

    // A device not in the registry yet: what can be linked is, and the plan is not complete.
    const LinkPlan partial = planLinks(ports, 10, 20, 2, {30, std::nullopt}, {2, 1});
    EXPECT_EQ(partial.links.size(), 4u);
    EXPECT_FALSE(partial.complete);
    ports.erase(22);
    EXPECT_FALSE(planLinks(ports, 10, 20, 2, {30, 40}, {2, 1}).complete);
    EXPECT_TRUE(planLinks(ports, std::nullopt, 20, 2, {30, 40}, {2, 1}).links.size() == 3u);
}

}  // namespace
}  // namespace quellor::routing
