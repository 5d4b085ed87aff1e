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

// Once a stream is sent to a tap sink, its next writes wait until it is linked there, goes, or a
// second has passed; they then go in order, the newest of each key, up to the next move.
TEST(PipeWireRoutingTest, AStreamsWritesWaitWhileItsMoveToASinkIsInFlight) {
    const std::uint64_t second = WriteGate::kLongestFlight;
    const Write toSink{5, kTargetObject, kSink};
    const Write backObject{5, kTargetObject, std::nullopt};
    const Write backNode{5, kTargetNode, kStoredNode};
    const Write toOther{5, kTargetObject, kElsewhere};
    const std::set<std::uint32_t> present{5};
    const std::map<std::uint32_t, Link> none;
    const std::map<std::uint32_t, Link> landed{{70, {5, 90}}};
    const std::map<std::uint32_t, Link> elsewhere{{70, {5, 30}}};

    struct Case {
        const char* what;
        std::map<std::uint32_t, Link> links;
        std::set<std::uint32_t> present;
        std::uint64_t now;
        bool all;
        std::vector<Write> due;
    };
    const std::vector<Case> cases{
        {"still linking", none, present, 10, false, {}},
        {"linked to another node", elsewhere, present, 10, false, {}},
        {"linked to the sink", landed, present, 10, false, {backObject, backNode}},
        {"stream gone", none, {}, 10, false, {}},
        {"a second passed", none, present, second, false, {backObject, backNode}},
        {"everything at once", none, present, 10, true, {backObject, backNode}},
    };
    for (const Case& c : cases) {
        WriteGate gate;
        EXPECT_EQ(gate.submit(toSink, 90, 0), std::vector<Write>{toSink}) << c.what;
        EXPECT_TRUE(gate.submit(toOther, std::nullopt, 1).empty()) << c.what;
        EXPECT_TRUE(gate.submit(backObject, std::nullopt, 2).empty()) << c.what;  // replaces toOther
        EXPECT_TRUE(gate.submit(backNode, std::nullopt, 3).empty()) << c.what;
        std::map<std::uint32_t, Targets> projected;
        gate.project(projected);
        EXPECT_EQ(projected[5], (Targets{std::nullopt, kStoredNode})) << c.what;
        EXPECT_EQ(gate.due(c.links, c.present, c.now, c.all), c.due) << c.what;
        EXPECT_EQ(gate.idle(), !c.due.empty() || c.present.empty()) << c.what;
    }

    // A held move starts a flight of its own when it goes: what follows it waits again.
    WriteGate gate;
    gate.submit(toSink, 90, 0);
    const Write toSecondSink{5, kTargetObject, kHeadset};
    gate.submit(toSecondSink, 91, 1);
    gate.submit(backNode, std::nullopt, 2);
    EXPECT_EQ(gate.due(landed, present, 3, false), std::vector<Write>{toSecondSink});
    EXPECT_TRUE(gate.due(landed, present, 4, false).empty());
    EXPECT_EQ(gate.due({{71, {5, 91}}}, present, 5, false), std::vector<Write>{backNode});
    EXPECT_TRUE(gate.idle());
    // Writes of a stream with nothing in flight, and other streams' writes, go at once.
    EXPECT_EQ(gate.submit(backObject, std::nullopt, 6), std::vector<Write>{backObject});
}

TEST(PipeWireRoutingTest, ARetiredSinkGoesOnceNoStreamIsOnItsWayToItOrFeedsItOrItsTimeIsUp) {
    const std::map<std::uint32_t, Link> feeding{{70, {5, 11}}, {71, {11, 40}}};  // a stream into it; its monitor out
    const std::map<std::uint32_t, Link> readOnly{{71, {11, 40}}};
    WriteGate idle;
    WriteGate moving;  // stream 6 sent to the sink, not linked there yet
    moving.submit({6, kTargetObject, kSink}, 11, 0);
    struct Case {
        const WriteGate& gate;
        const std::map<std::uint32_t, Link>& links;
        std::uint32_t sink;
        std::uint64_t now;
        bool all, goes;
    };
    const std::vector<Case> cases{
        {idle, feeding, 11, 99, false, false},  {idle, readOnly, 11, 99, false, true},
        {moving, readOnly, 11, 99, false, false}, {moving, readOnly, 12, 99, false, true},
        {idle, feeding, 11, 100, false, true},  {moving, feeding, 11, 0, true, true},
        {moving, feeding, 0, 0, false, true},  // never in the registry
    };
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const Case& c = cases[i];
        EXPECT_EQ(sinkCanGo(c.sink, 100, c.gate, c.links, c.now, c.all), c.goes) << "case " << i;
    }
}

}  // namespace
}  // namespace quellor::routing
