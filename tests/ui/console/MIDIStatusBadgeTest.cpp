// The MIDI badge of a control follows learning and the stored mappings.
#include "TestEnvironment.h"
#include "remote/MIDIMappingManager.h"
#include "ui/console/ConsoleColors.h"
#include "ui/console/MIDIStatusBadge.h"

namespace quellor::test {
namespace {

class MIDIBadge : public QuellorTest {
protected:
    QString badge(const QString& target) { return MIDIStatusBadge::of(mappings, target).text(); }
    MIDIMappingManager mappings{defaults()};
};

TEST_F(MIDIBadge, LearningWinsOverAMappingOfTheSameTargetOnly) {
    EXPECT_FALSE(MIDIStatusBadge::of(mappings, "bus:main").isShown());
    mappings.assign(7, std::nullopt, "bus:main");
    mappings.assign(64, std::nullopt, "");
    EXPECT_EQ(badge("bus:main"), "CC7");
    EXPECT_EQ(badge(""), "CC64") << "an empty target is a target like any other";
    mappings.setLearningTarget(QString("cue:com.example.player"));
    EXPECT_EQ(badge("bus:main"), "CC7");
    EXPECT_EQ(badge("cue:com.example.player"), "LEARN");
    mappings.setLearningTarget(QString("bus:main"));
    EXPECT_EQ(badge("bus:main"), "LEARN");
    EXPECT_EQ(badge("cue:com.example.player"), "");
    mappings.setLearningTarget(std::nullopt);
    mappings.clearMapping("bus:main");
    EXPECT_EQ(badge("bus:main"), "");
}

TEST_F(MIDIBadge, LearnIsBoldOrangeAndAMappingTakesTheBrandColourOfItsSurface) {
    const MIDIStatusBadge learn{MIDIStatusBadge::State::Learn, 0};
    const MIDIStatusBadge mapped{MIDIStatusBadge::State::Mapped, 7};
    for (ThemeMode theme : kAllThemes) {
        EXPECT_EQ(learn.color(theme, true), standardOrange(theme));
        EXPECT_EQ(mapped.color(theme, true), brandOnDark());
        EXPECT_EQ(mapped.color(theme, false), palette(theme).brand);
    }
    EXPECT_TRUE(learn.isBold());
    EXPECT_FALSE(mapped.isBold());
}

}  // namespace
}  // namespace quellor::test
