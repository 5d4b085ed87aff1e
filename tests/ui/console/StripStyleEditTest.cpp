// A strip's name, colour and group choices land in the engine's strip styles under the source id.
#include "ConsoleFixture.h"
#include "base/JsonDefaults.h"
#include "ui/console/SlotSourceMenu.h"
#include "ui/console/StripStyleEdit.h"

namespace quellor::test {
namespace {

class StripStyleEdit : public ConsoleFixture {
protected:
    std::optional<StripStyle> style(const QString& id) {
        const auto it = engine().stripStyles().find(id);
        if (it == engine().stripStyles().end()) return std::nullopt;
        return it->second;
    }
};

TEST_F(StripStyleEdit, ATypedNameLosesItsSpacesAndTabsAtTheEndsAndNothingLeftIsTheAutomaticName) {
    struct Case {
        QString typed;
        std::optional<QString> stored;
    };
    const Case cases[] = {
        {"  Drums\t", "Drums"},
        {"Two words", "Two words"},
        {"Line\n ", "Line\n"},  // line breaks stay
        {"", std::nullopt},
        {" \t ", std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(qPrintable(c.typed));
        renameStrip(engine(), kPlayer, c.typed);
        ASSERT_TRUE(style(kPlayer));
        EXPECT_EQ(style(kPlayer)->name, c.stored);
        EXPECT_EQ(stripStyleName(engine(), kPlayer), c.stored.value_or(QString()));
    }
    EXPECT_EQ(style(kPlayer), StripStyle{}) << "a style whose fields are all cleared stays";
    EXPECT_EQ(stripStyleName(engine(), kRadio), "") << "no style: the prompt starts empty";
}

TEST_F(StripStyleEdit, EachChoiceKeepsTheOtherFieldsIsStoredAndShowsOnTheStrip) {
    renameStrip(engine(), kPlayer, "Music");
    StripCallbacks callbacks = stripStyleCallbacks(engine(), kPlayer, {});
    callbacks.onColor(2);
    callbacks.onGroup(QString("B"));
    EXPECT_EQ(style(kPlayer), (StripStyle{"Music", 2, "B"}));
    callbacks.onColor(std::nullopt);
    EXPECT_EQ(style(kPlayer), (StripStyle{"Music", std::nullopt, "B"}));
    EXPECT_EQ(JsonDefaults::load<StripStyleMap>(QStringLiteral("stripStyles"), defaults()), engine().stripStyles())
        << "every choice is saved";
    const StripModel m = model(kPlayer);
    EXPECT_EQ(m.name, "Music");
    EXPECT_EQ(m.group, "B");
    EXPECT_FALSE(style(kRadio)) << "only the chosen source gets a style";
}

TEST_F(StripStyleEdit, TheSourceMenuOffersEverySourceAndWritesTheChosenOneIntoItsSlot) {
    const MenuModel menu = slotSourceMenu(5, engine());
    QStringList titles;
    for (const MenuItem& item : menu)
        titles << (item.kind == MenuItem::Kind::Separator ? "[" + item.title + "]" : item.title);
    EXPECT_EQ(titles.mid(0, 7), QStringList({"[Buses]", "MAIN", "PHONES", "[System]", "Output", "Input", "[Apps]"}));
    EXPECT_EQ(titles.size(), 7 + int(engine().processMonitor().apps().size()));
    EXPECT_EQ(menu[1].symbol, "hifispeaker.fill");
    EXPECT_EQ(menu[7].symbol, "app");
    // Already on another strip: it stands on both.
    engine().setSlot(kRadio, 2);
    findMenuItem(menu, engine().processMonitor().apps().back().name)->action();
    EXPECT_EQ(engine().consoleSlots()[5], engine().processMonitor().apps().back().bundleID);
    findMenuItem(menu, "Input")->action();
    EXPECT_EQ(engine().consoleSlots()[5], "system_input");
    EXPECT_EQ(engine().consoleSlots()[2], kRadio);

    quitApp(101, playerProcess);
    quitApp(102, radioProcess);
    settle();
    QStringList withoutApps;
    for (const MenuItem& item : slotSourceMenu(0, engine())) withoutApps << item.title;
    EXPECT_EQ(withoutApps, QStringList({"Buses", "MAIN", "PHONES", "System", "Output", "Input"}));
}

}  // namespace
}  // namespace quellor::test
