// The strip widget's wiring: its buttons, readout, fader and menus reach the engine through the
// strip model and the console's logic.
#include <QAccessible>
#include <QGraphicsOpacityEffect>
#include <QTest>

#include "ConsoleFixture.h"
#include "remote/MIDIMappingManager.h"
#include "ui/console/ConsoleFaderWidget.h"
#include "ui/console/ConsoleFades.h"
#include "ui/console/ConsoleStripWidget.h"
#include "ui/console/MeterRepaintClock.h"
#include "ui/console/MIDIBadgeLabel.h"
#include "ui/console/SlotSourceMenu.h"
#include "ui/console/StripButtonRow.h"
#include "ui/console/StripReadout.h"
#include "ui/console/StripStyleEdit.h"
#include "ui/style/ThemeController.h"

namespace quellor::test {
namespace {

class ConsoleStripWidgetTest : public ConsoleFixture {
protected:
    std::unique_ptr<ConsoleStripWidget> strip(const QString& id, int slot) {
        auto widget = std::make_unique<ConsoleStripWidget>(ConsoleStripEnvironment{
            engine(), mappings, defaults(), themes, clock, fades, [this](int i) { return slotSourceMenu(i, engine()); }});
        widget->resize(100, 420);
        widget->show();
        rebuild(*widget, id, slot);
        return widget;
    }
    // What the console does after every burst of engine changes.
    void rebuild(ConsoleStripWidget& widget, const QString& id, int slot) {
        widget.setStrip(model(id), slot, false, stripStyleCallbacks(engine(), id, {}));
    }
    static QWidget* part(const ConsoleStripWidget& s, const char* name) { return s.findChild<QWidget*>(name); }
    static QStringList titles(const MenuModel& menu) {
        QStringList out;
        for (const MenuItem& item : menu) out << (item.kind == MenuItem::Kind::Separator ? "-" : item.title);
        return out;
    }

    ThemeController themes{defaults()};
    MeterRepaintClock clock;
    ConsoleFades fades{&scheduler()};
    MIDIMappingManager mappings{defaults()};
};

TEST_F(ConsoleStripWidgetTest, ClicksOnMuteSoloAndCueReachTheEngineAndTheButtonsLightOnceRebuilt) {
    auto s = strip(kPlayer, 0);
    auto* cue = s->findChild<StripButtonWidget*>("strip-cue-button");
    auto* solo = s->findChild<StripButtonWidget*>("strip-solo-button");
    auto* mute = s->findChild<StripButtonWidget*>("strip-mute-button");
    ASSERT_TRUE(cue && solo && mute);
    EXPECT_EQ(mute->toolTip(), "Mute");
    // 92 points inside the padding: CUE 22 wide, SOLO and MUTE sharing the rest, 3 apart.
    EXPECT_EQ(cue->geometry(), QRect(3, 3, 22, 18));
    EXPECT_EQ(solo->geometry(), QRect(28, 3, 29, 18));
    EXPECT_EQ(mute->geometry(), QRect(60, 3, 29, 18));

    QTest::mouseClick(mute, Qt::LeftButton);
    QTest::mouseClick(solo, Qt::LeftButton);
    QTest::mouseClick(cue, Qt::LeftButton);
    EXPECT_TRUE(engine().volumes().at(kPlayer).isMuted);
    EXPECT_TRUE(engine().volumes().at(kPlayer).isCued);
    EXPECT_EQ(engine().soloed(), std::set<QString>({kPlayer}));
    EXPECT_FALSE(mute->face().lit) << "lit only through the rebuilt model";
    rebuild(*s, kPlayer, 0);
    EXPECT_TRUE(mute->face().lit);
    EXPECT_TRUE(solo->face().lit);
    EXPECT_TRUE(cue->face().lit);
    EXPECT_EQ(mute->toolTip(), "Unmute");
    EXPECT_EQ(s->findChild<QWidget*>("strip-readout")->accessibleDescription(), "100%");
}

TEST_F(ConsoleStripWidgetTest, AClickOnAReadoutSwitchesEveryStripBetweenPercentAndDB) {
    auto a = strip(kPlayer, 0);
    auto b = strip("bus:phones", 1);
    auto readout = [](const ConsoleStripWidget& s) { return part(s, "strip-readout")->accessibleDescription(); };
    engine().phonesBusVolume().setVolume(0.5f);
    rebuild(*b, "bus:phones", 1);
    EXPECT_EQ(readout(*a), "100%");
    EXPECT_EQ(readout(*b), "50%");
    QTest::mouseClick(part(*a, "strip-readout"), Qt::LeftButton);
    EXPECT_TRUE(readoutShowsDB(defaults()));
    EXPECT_EQ(readout(*a), "0.0");
    EXPECT_EQ(readout(*b), "-18.1");
    QTest::mouseClick(part(*b, "strip-readout"), Qt::LeftButton);
    EXPECT_EQ(readout(*a), "100%");
}

TEST_F(ConsoleStripWidgetTest, TheContextMenusHoldTheirItemsAndActOnTheEngine) {
    engine().setSlot(kPlayer, 3);
    auto s = strip(kPlayer, 3);
    const QString player = model(kPlayer).name;
    const QStringList items = titles(s->contextMenu());
    EXPECT_EQ(items.mid(0, 8), QStringList({"Clear Slot", "-", "-", "MAIN", "PHONES", "-", "Output", "Input"}));
    EXPECT_EQ(items.mid(items.size() - 3),
              QStringList({"-", "Learn Fader MIDI", "Learn PFL MIDI"}));
    findMenuItem(s->contextMenu(), "Learn PFL MIDI")->action();
    EXPECT_EQ(mappings.learningTarget(), "cue:" + kPlayer);
    rebuild(*s, kPlayer, 3);
    auto* badge = s->findChild<MIDIBadgeLabel*>("strip-cue-midi-badge");
    ASSERT_TRUE(badge);
    EXPECT_TRUE(badge->isVisible());
    EXPECT_EQ(badge->text(), "LEARN");
    const QRect cue = s->findChild<QWidget*>("strip-cue-button")->geometry().translated(part(*s, "strip-button-area")->pos());
    EXPECT_EQ(badge->y(), cue.top() - 12) << "the badge stands 12 points above the CUE button";
    findMenuItem(s->contextMenu(), "Clear Slot")->action();
    EXPECT_EQ(engine().consoleSlots()[3], "");

    // An empty slot offers its sources; a strip that stands in no slot has no menu.
    s->setStrip(StripModelBuilder::emptySlotModel(), 3, false, {});
    EXPECT_EQ(titles(s->contextMenu()).mid(0, 3), QStringList({"-", "MAIN", "PHONES"}));
    s->setStrip(model(kPlayer), std::nullopt, false, {});
    EXPECT_TRUE(s->contextMenu().empty());
    EXPECT_EQ(s->dragPayload(), std::nullopt);
    rebuild(*s, kPlayer, 3);
    EXPECT_EQ(s->dragPayload(), "vesk-slot:3");
}

TEST_F(ConsoleStripWidgetTest, OnlyTheMainStripLeavesItsButtonAreaToTheMainMuteButton) {
    auto main = strip("bus:main", 0);
    ASSERT_TRUE(main->mainMuteAnchor());
    EXPECT_EQ(*main->mainMuteAnchor(), QRect(4, 4 + 22, 92, 24));
    EXPECT_FALSE(main->buttons()->isVisible());
    auto phones = strip("bus:phones", 1);
    EXPECT_FALSE(phones->mainMuteAnchor());
    EXPECT_TRUE(phones->findChild<QWidget*>("strip-mute-button")->isVisible());
    EXPECT_FALSE(strip(kPlayer, 2)->mainMuteAnchor());
}

TEST_F(ConsoleStripWidgetTest, AssistiveTechnologyReadsAndStepsTheFaderAndInactiveStripsFade) {
    auto s = strip(kPlayer, 0);
    const QString name = model(kPlayer).name;
    QAccessibleInterface* fader = QAccessible::queryAccessibleInterface(s->fader());
    ASSERT_TRUE(fader);
    EXPECT_EQ(fader->role(), QAccessible::Slider);
    EXPECT_EQ(fader->text(QAccessible::Name), name + " fader");
    EXPECT_EQ(fader->text(QAccessible::Value), "100 percent");
    EXPECT_EQ(fader->childCount(), 0);
    fader->actionInterface()->doAction(QAccessibleActionInterface::decreaseAction());
    EXPECT_FLOAT_EQ(engine().volumes().at(kPlayer).volume, 0.95f);
    EXPECT_EQ(part(*s, "strip-name")->accessibleName(), "Strip name: " + name);
    EXPECT_EQ(s->graphicsEffect(), nullptr);

    quitApp(101, playerProcess);
    settle();
    rebuild(*s, kPlayer, 0);
    auto* effect = qobject_cast<QGraphicsOpacityEffect*>(s->graphicsEffect());
    ASSERT_TRUE(effect);
    EXPECT_DOUBLE_EQ(effect->opacity(), 0.4);
    EXPECT_EQ(part(*s, "strip-readout")->accessibleDescription(), "OFF");
    fader->actionInterface()->doAction(QAccessibleActionInterface::increaseAction());
    EXPECT_FLOAT_EQ(engine().volumes().at(kPlayer).volume, 0.95f) << "an inactive strip ignores the action";
}

}  // namespace
}  // namespace quellor::test
