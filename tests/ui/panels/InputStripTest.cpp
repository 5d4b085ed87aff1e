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
    InputStripModel strip = InputStripModel::of(engine().inputVolume(), &mappings);
    EXPECT_EQ(strip.deviceName, "MIC");
    EXPECT_EQ(strip.icon(), "mic.fill");
    EXPECT_TRUE(strip.level.enabled);
    EXPECT_EQ(strip.note(), "");
    EXPECT_EQ(strip.badge.state, MIDIStatusBadge::State::None);

    mappings.setLearningTarget(RouteID::kSystemInput);
    strip = InputStripModel::of(engine().inputVolume(), &mappings);
    EXPECT_EQ(panelBadgeText(strip.badge), "• Learn MIDI...");
    mappings.assign(12, std::nullopt, RouteID::kSystemInput);
    mappings.setLearningTarget(std::nullopt);
    strip = InputStripModel::of(engine().inputVolume(), &mappings);
    EXPECT_EQ(panelBadgeText(strip.badge), "CC 12");
}

}  // namespace
}  // namespace quellor::test
