// The application row as logic: its level text and speaker, its opacity, the devices it plays to
// explicitly, its context menu and its drag text.
#include <gtest/gtest.h>
#include <limits>

#include "PanelsFixture.h"
#include "ui/panels/AppRow.h"
#include "ui/panels/PanelMIDI.h"

namespace quellor::test {
namespace {

TEST(AppRowLevelTest, SpeakerAndPercentByLevelAndMute) {
    struct Case { float volume; bool muted; const char* symbol; const char* text; };
    const Case cases[] = {
        {0.8f, true, "speaker.slash.fill", "muted"},
        {0.0f, true, "speaker.slash.fill", "muted"},
        {0.0f, false, "speaker.fill", "0%"},
        {0.005f, false, "speaker.wave.1.fill", "0%"},
        {0.3399f, false, "speaker.wave.1.fill", "33%"},
        {0.34f, false, "speaker.wave.2.fill", "34%"},
        {0.67f, false, "speaker.wave.3.fill", "67%"},
        {0.999f, false, "speaker.wave.3.fill", "99%"},
        {1.0f, false, "speaker.wave.3.fill", "100%"},
        {std::numeric_limits<float>::quiet_NaN(), false, "speaker.wave.3.fill", "100%"},
    };
    for (const Case& c : cases) {
        AppVolume entry;
        entry.volume = c.volume;
        entry.isMuted = c.muted;
        EXPECT_EQ(speakerSymbol(entry), c.symbol) << c.volume << " " << c.muted;
        EXPECT_EQ(levelText(entry), c.text) << c.volume << " " << c.muted;
    }
}

class AppRowTest : public PanelsFixture {
protected:
    AppRow row(const QString& id, bool target = false) { return AppRow::of(engine(), mappings, app(id), target); }
    QStringList menuTitles(const QString& id) {
        return PanelsFixture::menuTitles(appRowMenu(engine(), mappings, app(id)));
    }
};

TEST_F(AppRowTest, OnTheDefaultOutputTheRowShowsItsLevelDimmedWhileIdleOrMuted) {
    const AppRow playing = row(kPlayer, true);
    EXPECT_EQ(playing.name, kPlayer);
    EXPECT_TRUE(playing.showsLevel());
    EXPECT_EQ(playing.levelText(), "100%");
    EXPECT_DOUBLE_EQ(playing.rowOpacity, 1.0);
    EXPECT_DOUBLE_EQ(playing.sliderOpacity(), 1.0);
    EXPECT_TRUE(playing.isRouteTarget);
    EXPECT_FALSE(playing.badge.isShown());

    engine().setVolume(0.8f, app(kPlayer));
    engine().toggleMute(app(kPlayer));
    hardware.setProcessRunning(playerProcess, false, false);
    advance(2.5);  // the process monitor's poll sees the flag
    const AppRow idle = row(kPlayer);
    EXPECT_DOUBLE_EQ(idle.rowOpacity, 0.5);
    EXPECT_EQ(idle.levelText(), "muted");
    EXPECT_EQ(idle.speakerSymbol(), "speaker.slash.fill");
    EXPECT_DOUBLE_EQ(idle.sliderOpacity(), 0.5 * 0.55);
    EXPECT_FLOAT_EQ(idle.entry.volume, 0.8f);
}

TEST_F(AppRowTest, ExplicitOutputsAreListedInStoredOrderWithTheirOwnVolume) {
    engine().addOutput(outputDevice("SPK"), app(kPlayer));
    engine().addOutput(outputDevice("USB-4"), app(kPlayer));
    AppVolume entry = engine().appVolume(app(kPlayer));
    entry.outputDeviceUIDs.append("GONE");  // a device unplugged since
    engine().applyAppVolume(entry, app(kPlayer));
    settle();

    const AppRow model = row(kPlayer);
    EXPECT_FALSE(model.showsLevel());
    ASSERT_EQ(model.outputs.size(), 3u);
    EXPECT_EQ(model.outputs[0].uid, "SPK");
    EXPECT_EQ(model.outputs[0].name, "SPK");
    ASSERT_TRUE(model.outputs[0].level);
    EXPECT_EQ(*model.outputs[0].level, LevelRow::of(*engine().volumeControl("SPK")));
    EXPECT_EQ(model.outputs[1].uid, "USB-4");
    EXPECT_EQ(model.outputs[2].name, "Unavailable");
    EXPECT_FALSE(model.outputs[2].level);

    EXPECT_EQ(menuTitles(kPlayer),
              (QStringList{"Reset to 100%", "Play on default output", "-", "Learn MIDI fader"}));
    EXPECT_EQ(menuTitles(kRadio), (QStringList{"Reset to 100%", "-", "Learn MIDI fader"}));

    findMenuItem(appRowMenu(engine(), mappings, app(kPlayer)), "Play on default output")->action();
    EXPECT_TRUE(engine().outputDeviceUIDs(app(kPlayer)).isEmpty());
}

TEST_F(AppRowTest, ResetBringsTheApplicationBackToItsDefaults) {
    engine().setVolume(0.3f, app(kRadio));
    findMenuItem(appRowMenu(engine(), mappings, app(kRadio)), "Reset to 100%")->action();
    EXPECT_EQ(row(kRadio).levelText(), "100%");
    EXPECT_EQ(engine().volumes().count(kRadio), 0u);
}

TEST_F(AppRowTest, LearningAndMappingTheApplicationsLevel) {
    findMenuItem(appRowMenu(engine(), mappings, app(kPlayer)), "Learn MIDI fader")->action();
    EXPECT_EQ(mappings.learningTarget(), kPlayer);
    EXPECT_EQ(panelBadgeText(row(kPlayer).badge), "• Learn MIDI...");

    mappings.assign(12, std::nullopt, kPlayer);
    EXPECT_EQ(panelBadgeText(row(kPlayer).badge), "• Learn MIDI...") << "learning wins over the mapping";
    EXPECT_EQ(menuTitles(kPlayer),
              (QStringList{"Reset to 100%", "-", "Learning MIDI... (Move fader now)", "Clear MIDI Mapping"}));
    findMenuItem(appRowMenu(engine(), mappings, app(kPlayer)), "Learning MIDI... (Move fader now)")->action();
    EXPECT_EQ(mappings.learningTarget(), std::nullopt);
    EXPECT_EQ(panelBadgeText(row(kPlayer).badge), "CC 12");
    EXPECT_EQ(menuTitles(kPlayer), (QStringList{"Reset to 100%", "-", "Re-learn MIDI fader", "Clear MIDI Mapping"}));
}

TEST_F(AppRowTest, TheDragTextIsThePrefixAndTheBundleIdentifierAlone) {
    EXPECT_EQ(appDragText(app(kPlayer)), "vesk-app:com.example.player");
}

}  // namespace
}  // namespace quellor::test
