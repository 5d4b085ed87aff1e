// The console lock and the MAIN mute that the pane draws above the strips.
#include <QSignalSpy>

#include "ConsoleFixture.h"
#include "ui/console/ConsoleColors.h"
#include "ui/console/ConsoleLock.h"
#include "ui/console/MainMute.h"
#include "ui/console/StoredStripCount.h"
#include "ui/console/StripDrop.h"

namespace quellor::test {
namespace {

TEST(ConsoleLockRules, LockedOnlyScrollingTheMainMuteAndTheTopBarTakeThePointer) {
    using Target = ConsoleLock::Target;
    const std::pair<Target, bool> whileLocked[] = {
        {Target::StripControl, false}, {Target::SlotMenu, false}, {Target::StripDrag, false},
        {Target::StripDrop, false},    {Target::Scrolling, true}, {Target::MainMute, true},
        {Target::TopBar, true},
    };
    for (const auto& [target, takes] : whileLocked) {
        EXPECT_EQ(ConsoleLock::takesPointer(target, true), takes) << int(target);
        EXPECT_TRUE(ConsoleLock::takesPointer(target, false)) << int(target);
    }
}

class ConsolePane : public ConsoleFixture {};

TEST_F(ConsolePane, TheLockFollowsTheStoredDefaultWhoeverWritesIt) {
    defaults().setBool("consoleLocked", true);
    ConsoleLock lock(defaults());
    EXPECT_TRUE(lock.locked()) << "a console started locked comes up locked";
    QSignalSpy changes(&lock, &ConsoleLock::lockedChanged);
    ConsoleLock::toggle(defaults());  // the remote lock command or the top bar
    EXPECT_FALSE(lock.locked());
    EXPECT_TRUE(lock.takesPointer(ConsoleLock::Target::StripControl));
    defaults().setBool("consoleLocked", false);
    EXPECT_EQ(changes.count(), 1) << "an equal value is no change";
    defaults().setString("consoleLocked", "yes");  // another type reads as unlocked
    defaults().setBool("consoleLocked", true);
    EXPECT_EQ(changes.count(), 2);
    EXPECT_FALSE(lock.takesPointer(ConsoleLock::Target::StripDrop));
}

TEST(MainMuteFace, ShowsThePanicState) {
    const Palette p = palette(ThemeMode::Studio);
    const QColor red = standardRed(ThemeMode::Studio);
    const MainMuteFace off = MainMuteFace::of(false, ThemeMode::Studio);
    EXPECT_EQ(off.text, p.textMuted);
    EXPECT_EQ(off.fill, p.elevated);
    EXPECT_EQ(off.border, withOpacity(red, 0.5));
    EXPECT_EQ(off.accessibilityLabel, "Mute the whole mix");
    EXPECT_EQ(off.help, "Mute: silence every channel (it works while the console is locked)");
    const MainMuteFace on = MainMuteFace::of(true, ThemeMode::Studio);
    EXPECT_EQ(on.text, p.void_);
    EXPECT_EQ(on.fill, withOpacity(red, 0.85));
    EXPECT_EQ(on.border.alpha(), 0);
    EXPECT_EQ(on.accessibilityLabel, "Main muted. Unmute");
    EXPECT_EQ(on.help, "Unmute: bring the mix back exactly as it was");
}

TEST_F(ConsolePane, TheMainMuteWorksWhileLockedAndLeavesTheMixAsItWas) {
    engine().setVolume(0.4f, app(kPlayer));
    engine().toggleMute(app(kRadio));
    engine().applySolo(true, kPlayer);
    const AppVolumeMap volumes = engine().volumes();
    defaults().setBool("consoleLocked", true);
    ConsoleLock lock(defaults());
    ASSERT_TRUE(lock.takesPointer(ConsoleLock::Target::MainMute));

    MainMuteFace::of(engine().isPanicked(), ThemeMode::Booth).click(engine());
    EXPECT_TRUE(engine().isPanicked());
    ConsoleLock::toggle(defaults());  // unlocking leaves the panic engaged
    EXPECT_TRUE(engine().isPanicked());
    MainMuteFace::of(engine().isPanicked(), ThemeMode::Booth).click(engine());
    EXPECT_FALSE(engine().isPanicked());
    EXPECT_EQ(engine().volumes(), volumes);
    EXPECT_EQ(engine().soloed(), std::set<QString>{kPlayer});

    // A face drawn before a remote panic asks for the state the engine already has: no change.
    const MainMuteFace stale = MainMuteFace::of(false, ThemeMode::Booth);
    engine().setPanic(true);
    stale.click(engine());
    EXPECT_TRUE(engine().isPanicked());
}

TEST_F(ConsolePane, TheMainMuteFollowsTheMainStripAmongTheShownSlots) {
    EXPECT_EQ(mainMuteSlot(engine().consoleSlots(), 8), 0);
    handleStripDrop(engine(), defaults(), "vesk-slot:0", 5);
    EXPECT_EQ(mainMuteSlot(engine().consoleSlots(), 8), 5);
    handleStripDrop(engine(), defaults(), "vesk-slot:5", 2);
    engine().setSlot(kPlayer, 5);
    engine().setSlot("bus:main", 9);
    engine().setSlot("", 2);
    EXPECT_EQ(mainMuteSlot(engine().consoleSlots(), 8), std::nullopt) << "MAIN only on a hidden slot";
    EXPECT_EQ(mainMuteSlot(engine().consoleSlots(), 16), 9);
    engine().setSlot("bus:main", 3);
    EXPECT_EQ(mainMuteSlot(engine().consoleSlots(), 16), 9) << "the later of two";
    EXPECT_EQ(mainMuteSlot(engine().consoleSlots(), 8), 3);
}

TEST(MainMuteRect, CentredOnTheBandAndHiddenOutOfView) {
    const QRectF visible(0, 0, 400, 300);
    struct Case {
        const char* what;
        std::optional<QRectF> band;
        std::optional<QRectF> button;
    };
    const Case cases[] = {
        {"no MAIN strip", std::nullopt, std::nullopt},
        {"band in view", QRectF(10, 100, 80, 24), QRectF(13, 103, 74, 18)},
        {"band at the view's edges", QRectF(0, 276, 400, 24), QRectF(3, 279, 394, 18)},
        {"six points wide", QRectF(10, 100, 6, 24), QRectF(13, 103, 0, 18)},
        {"narrower still", QRectF(10, 100, 4, 24), QRectF(12, 103, 0, 18)},
        {"scrolled partly above", QRectF(10, -4, 80, 24), std::nullopt},
        {"scrolled below", QRectF(10, 310, 80, 24), std::nullopt},
        {"partly beside", QRectF(350, 100, 80, 24), std::nullopt},
    };
    for (const Case& c : cases) EXPECT_EQ(mainMuteRect(c.band, visible), c.button) << c.what;
}

}  // namespace
}  // namespace quellor::test
