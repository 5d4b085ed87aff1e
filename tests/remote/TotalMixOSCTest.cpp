#include <gtest/gtest.h>

#include "remote/TotalMixOSC.h"

namespace quellor {

void PrintTo(const TotalMixOSC::Command& c, std::ostream* os) { *os << c.path.toStdString() << " " << c.value; }

namespace {

using C = TotalMixOSC::Command;

TEST(TotalMixOSC, RoutingClosesMainOnThePhonesSubmixAndPhonesOnTheMainSubmix) {
    EXPECT_EQ(TotalMixOSC::defaultRoutingCommands(0, 2),
              (std::vector<C>{{"/setSubmix", 1.0f}, {"/1/busPlayback", 1.0f}, {"/1/volume1", 0.0f},
                              {"/1/volume2", 0.82f}, {"/setSubmix", 0.0f}, {"/1/busPlayback", 1.0f},
                              {"/1/volume1", 0.82f}, {"/1/volume2", 0.0f}}));
    EXPECT_EQ(TotalMixOSC::defaultRoutingCommands(4, 6),
              (std::vector<C>{{"/setSubmix", 3.0f}, {"/1/busPlayback", 1.0f}, {"/1/volume3", 0.0f},
                              {"/1/volume4", 0.82f}, {"/setSubmix", 2.0f}, {"/1/busPlayback", 1.0f},
                              {"/1/volume3", 0.82f}, {"/1/volume4", 0.0f}}));
    // An odd offset addresses the pair it falls in.
    EXPECT_EQ(TotalMixOSC::defaultRoutingCommands(1, 3)[0], (C{"/setSubmix", 1.0f}));
}

TEST(TotalMixOSC, RecognisesInterfacesByUidOrName) {
    struct Case {
        const char* uid;
        const char* name;
        bool expected;
    };
    const Case cases[] = {
        {"RMEUSBDevice_1234", "Speakers", true}, {"rmeusbdevice_1", "Speakers", false},
        {"USB-1", "My FIREface UCX", true},      {"USB-1", "Babyface Pro FS", true},
        {"USB-1", "RME Digiface", true},          {"USB-1", "Built-in Output", false},
    };
    for (const auto& c : cases) EXPECT_EQ(TotalMixOSC::isTotalMixDevice(c.uid, c.name), c.expected) << c.name;
    EXPECT_TRUE(TotalMixOSC::isBabyfaceProName("My BABYFACE pro FS (42)"));
    EXPECT_FALSE(TotalMixOSC::isBabyfaceProName("Babyface"));
    EXPECT_FALSE(TotalMixOSC::isBabyfaceProName("Babyface  Pro"));
}

}  // namespace
}  // namespace quellor
