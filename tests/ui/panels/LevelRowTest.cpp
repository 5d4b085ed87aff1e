// A level row follows what its volume control can do: enabled, dimmed, the note, the icon and
// whether a tap on it mutes.
#include <gtest/gtest.h>

#include "PanelsFixture.h"
#include "ui/panels/LevelRow.h"

namespace quellor::test {
namespace {

TEST(LevelRowTest, FollowsWhatTheControlCanDo) {
    struct Case { bool canSet, canMute, muted; bool enabled; double opacity; const char* note; bool taps; const char* icon; };
    const Case cases[] = {
        {true, true, false, true, 1.0, "", true, "speaker.wave.3.fill"},
        {false, true, true, false, 0.4, "Volume is controlled on the device", true, "speaker.slash.fill"},
        {true, false, false, true, 1.0, "", false, "speaker.wave.3.fill"},
    };
    for (const Case& c : cases) {
        FakeVolume control(c.canSet, c.canMute);
        if (c.muted) control.toggleMute();
        const LevelRow row = LevelRow::of(control);
        SCOPED_TRACE(testing::Message() << c.canSet << c.canMute << c.muted);
        EXPECT_FLOAT_EQ(row.volume, 0.25f);
        EXPECT_EQ(row.enabled, c.enabled);
        EXPECT_DOUBLE_EQ(row.opacity(), c.opacity);
        EXPECT_EQ(row.note(), c.note);
        EXPECT_EQ(row.iconTaps, c.taps);
        EXPECT_EQ(row.icon(), c.icon);
        EXPECT_EQ(row.iconDimmed(), c.muted);
    }
}

}  // namespace
}  // namespace quellor::test
