// The input strip on the simulated world: it follows the default input and its MIDI state.
#include <gtest/gtest.h>

#include "PanelsFixture.h"
#include "engine/RouteID.h"
#include "ui/panels/InputStrip.h"
#include "ui/panels/PanelMIDI.h"

namespace quellor::test {
namespace {

using InputStripTest = PanelsFixture;

TEST_F(InputStripTest, TheInputStripFollowsTheDefaultInputAndItsMIDIState) {
    InputStrip strip = InputStrip::of(engine().inputVolume(), &mappings);
    EXPECT_EQ(strip.deviceName, "MIC");
    EXPECT_EQ(strip.icon(), "mic.fill");
    EXPECT_TRUE(strip.level.enabled);
    EXPECT_EQ(strip.note(), "");
    EXPECT_EQ(strip.badge.state, MIDIStatusBadge::State::None);

    mappings.setLearningTarget(RouteID::kSystemInput);
    strip = InputStrip::of(engine().inputVolume(), &mappings);
    EXPECT_EQ(panelBadgeText(strip.badge), "• Learn MIDI...");
    mappings.assign(12, std::nullopt, RouteID::kSystemInput);
    mappings.setLearningTarget(std::nullopt);
    strip = InputStrip::of(engine().inputVolume(), &mappings);
    EXPECT_EQ(panelBadgeText(strip.badge), "CC 12");
}

TEST(InputStripHeader, TheDeviceNameGetsWhatTheTitleAndTheBadgeLeave) {
    struct Case { int width, title; std::optional<int> badge; int room; };
    const Case cases[] = {
        {200, 40, std::nullopt, 148},  // 12 clear of the title
        {200, 40, 30, 112},            // and the badge, 6 after it
        {50, 40, 30, 0},               // never below nothing
    };
    for (const Case& c : cases)
        EXPECT_EQ(InputStrip::deviceNameRoom(c.width, c.title, c.badge), c.room) << c.width << " " << c.title;
}

}  // namespace
}  // namespace quellor::test
