#include "remote/MIDISourceConnectionPolicy.h"

#include "remote/MIDISource.h"

#include <gtest/gtest.h>

namespace quellor {
namespace {

using MIDISourceConnectionPolicy::SystemSource;
using Pairs = std::vector<std::pair<std::int32_t, std::uint32_t>>;

struct PlanCase {
    const char* name;
    std::vector<SystemSource> system;
    std::map<std::int32_t, std::uint32_t> connected;
    std::vector<SystemSource> connect;
    Pairs disconnect;
};

TEST(MIDISourceConnectionPolicy, Plans) {
    const std::vector<PlanCase> cases = {
        {"nothing listed, nothing connected", {}, {}, {}, {}},
        {"new sources connect in system order", {{200, 2}, {100, 1}}, {}, {{200, 2}, {100, 1}}, {}},
        {"already connected with the same reference", {{100, 1}, {200, 2}}, {{100, 1}}, {{200, 2}}, {}},
        {"same id listed twice: the first wins", {{100, 5}, {100, 6}}, {}, {{100, 5}}, {}},
        {"first of a duplicate id is the one kept connected", {{100, 6}, {100, 5}}, {{100, 5}}, {{100, 6}}, {{100, 5}}},
        {"a source back under a new reference reconnects", {{100, 9}}, {{100, 1}}, {{100, 9}}, {{100, 1}}},
        {"vanished sources go in ascending signed id order after reconnects",
         {{50, 8}},
         {{-7, 3}, {10, 4}, {50, 2}, {-300, 5}},
         {{50, 8}},
         {{50, 2}, {-300, 5}, {-7, 3}, {10, 4}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto plan = MIDISourceConnectionPolicy::plan(c.system, c.connected);
        EXPECT_EQ(plan.connect, c.connect);
        EXPECT_EQ(plan.disconnect, c.disconnect);
    }
}

TEST(MIDISource, ConnectionReferenceCarriesTheSourceAndIsNeverZero) {
    for (MIDISource s : {MIDISource{0, false}, MIDISource{-1, true}, MIDISource{INT32_MIN, false},
                         MIDISource{123456, true}}) {
        std::uint64_t ref = s.connectionReference();
        EXPECT_NE(ref, 0u);
        EXPECT_EQ(ref >> 34, 0u);  // nothing above bit 33
        EXPECT_EQ(MIDISource::fromConnectionReference(ref), s);
    }
}

}  // namespace
}  // namespace quellor
