// The strip context menu: clearing a slot, the slot's source menu and MIDI learn entries.
#include "ConsoleFixture.h"
#include "remote/MIDIMappingManager.h"
#include "ui/console/StripContextMenu.h"

namespace quellor::test {
namespace {

class StripContextMenu : public ConsoleFixture {
protected:
    QStringList titles(int index, const QString& id) {
        QStringList out;
        for (const MenuItem& item : menu(index, id)) out << (item.kind == MenuItem::Kind::Separator ? "—" : item.title);
        return out;
    }
    MenuModel menu(int index, const QString& id) {
        return stripContextMenu(index, model(id), engine(), mappings, [](int i) {
            return MenuModel{MenuItem::command(QString("source for %1").arg(i), {})};
        });
    }
    void choose(int index, const QString& id, const QString& title) {
        const MenuModel m = menu(index, id);
        const MenuItem* item = findMenuItem(m, title);
        ASSERT_TRUE(item) << qPrintable(title);
        item->action();
    }
    MIDIMappingManager mappings{defaults()};
};

TEST_F(StripContextMenu, FixedStripsLearnTheirFaderOnlyAndApplicationsTheirCueToo) {
    EXPECT_EQ(titles(0, "bus:main"), QStringList({"Clear Slot", "—", "source for 0", "—", "Learn Fader MIDI"}));
    EXPECT_EQ(titles(4, kPlayer), QStringList({"Clear Slot", "—", "source for 4", "—", "Learn Fader MIDI", "Learn PFL MIDI"}));
    hardware.setDefaultOutputDevice(speakers);  // no cue button without a PHONES pair
    settle();
    EXPECT_EQ(titles(4, kPlayer), QStringList({"Clear Slot", "—", "source for 4", "—", "Learn Fader MIDI"}));
    EXPECT_EQ(titles(1, "bus:phones"), QStringList({"Clear Slot", "—", "source for 1", "—", "Learn Fader MIDI"}));
}

TEST_F(StripContextMenu, LearnRelearnStopAndClear) {
    choose(4, kPlayer, "Learn PFL MIDI");
    EXPECT_EQ(mappings.learningTarget(), "cue:" + kPlayer);
    EXPECT_EQ(titles(4, kPlayer).mid(4), QStringList({"Learn Fader MIDI", "Learning PFL MIDI... (move a control now)"}));

    choose(4, kPlayer, "Learn Fader MIDI");  // moves the learning over
    EXPECT_EQ(mappings.learningTarget(), kPlayer);
    mappings.routeForControl(7, std::nullopt);  // the learn completes
    EXPECT_EQ(titles(4, kPlayer).mid(4),
              QStringList({"Re-learn Fader MIDI", "Clear Fader MIDI Mapping", "Learn PFL MIDI"}));

    choose(4, kPlayer, "Re-learn Fader MIDI");
    EXPECT_EQ(titles(4, kPlayer).mid(4), QStringList({"Learning Fader MIDI... (move a control now)",
                                                      "Clear Fader MIDI Mapping", "Learn PFL MIDI"}));
    choose(4, kPlayer, "Learning Fader MIDI... (move a control now)");
    EXPECT_EQ(mappings.learningTarget(), std::nullopt);

    choose(4, kPlayer, "Clear Fader MIDI Mapping");
    EXPECT_EQ(mappings.ccNumber(kPlayer), std::nullopt);
    EXPECT_EQ(titles(4, kPlayer).mid(4), QStringList({"Learn Fader MIDI", "Learn PFL MIDI"}));
}

TEST_F(StripContextMenu, ClearSlotEmptiesThatSlotOnlyAndKeepsTheStyle) {
    engine().setSlot(kPlayer, 4);
    setStyle(kPlayer, {QString("Music"), 3, std::nullopt});
    const QStringList before = engine().consoleSlots();
    choose(4, kPlayer, "Clear Slot");
    QStringList expected = before;
    expected[4] = "";
    EXPECT_EQ(engine().consoleSlots(), expected);
    EXPECT_EQ(engine().stripStyles().count(kPlayer), 1u);
}

}  // namespace
}  // namespace quellor::test
