// The console's slot cells, the source menu of a slot, drag payloads, what a drop does to the
// slots, and the drop outline.
#include <QMimeData>

#include "ConsoleFixture.h"
#include "ui/console/ConsoleSlotCell.h"
#include "ui/console/SlotSourceMenu.h"
#include "ui/console/StoredStripCount.h"
#include "ui/console/StripDragPayload.h"
#include "ui/console/StripDrop.h"
#include "ui/console/StripDropHighlight.h"

namespace quellor::test {
namespace {

TEST(StripDragPayload, OnlyOurTwoPrefixesWithAWellFormedRestArePayloads) {
    using Kind = StripDragPayload::Kind;
    const std::pair<QString, std::optional<StripDragPayload>> cases[] = {
        {"vesk-slot:5", StripDragPayload{Kind::Slot, 5, {}}},
        {"vesk-slot:+3", StripDragPayload{Kind::Slot, 3, {}}},
        {"vesk-slot:-1", StripDragPayload{Kind::Slot, -1, {}}},
        {"vesk-slot:007", StripDragPayload{Kind::Slot, 7, {}}},
        {"vesk-slot:", std::nullopt},
        {"vesk-slot:-", std::nullopt},
        {"vesk-slot:abc", std::nullopt},
        {"vesk-slot: 5", std::nullopt},
        {"vesk-slot:5\n", std::nullopt},
        {"vesk-slot:5.0", std::nullopt},
        {"vesk-slot:٣", std::nullopt},  // a digit, but not an ASCII one
        {"vesk-slot:99999999999999999999", std::nullopt},
        {"vesk-app:com.example.player", StripDragPayload{Kind::App, 0, "com.example.player"}},
        {"vesk-app:vesk-slot:1", StripDragPayload{Kind::App, 0, "vesk-slot:1"}},
        {"vesk-app:", std::nullopt},
        {"Vesk-slot:1", std::nullopt},
        {"some text from another program", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& [text, expected] : cases) EXPECT_EQ(StripDragPayload::parse(text), expected) << qPrintable(text);

    EXPECT_EQ(StripDragPayload::parse(StripDragPayload::forSlot(12))->slotIndex, 12);
    EXPECT_EQ(StripDragPayload::parse(StripDragPayload::forApp(kRadio))->bundleID, kRadio);

    QMimeData text;
    text.setText("vesk-slot:2");
    EXPECT_EQ(StripDragPayload::textOf(text), "vesk-slot:2");
    QMimeData binary;
    binary.setData("application/octet-stream", "vesk-slot:2");
    EXPECT_EQ(StripDragPayload::textOf(binary), std::nullopt);
}

// The slots after a drop, written as the engine's setter does (an index outside the list is ignored).
QStringList afterDrop(QStringList slotIDs, int shown, const QString& payload, int target) {
    for (const SlotWrite& w : stripDropWrites(slotIDs, shown, payload, target))
        if (w.index >= 0 && w.index < slotIDs.size()) slotIDs[w.index] = w.identifier;
    return slotIDs;
}

TEST(StripDrop, ExchangesKeepToTheShownSlotsAndAnApplicationIsFoundOnEverySlot) {
    // MAIN, PHONES, a on 2, b on 4, and c on the hidden slot 8 of an 8-strip console.
    QStringList slotIDs = defaultConsoleSlots();
    slotIDs[2] = "a";
    slotIDs[4] = "b";
    slotIDs[8] = "c";
    auto with = [&](std::initializer_list<std::pair<int, QString>> changes) {
        QStringList s = slotIDs;
        for (const auto& [i, id] : changes) s[i] = id;
        return s;
    };
    struct Case {
        const char* what;
        int shown;
        QString payload;
        int target;
        QStringList expected;
    };
    const Case cases[] = {
        {"strip onto a filled strip", 8, "vesk-slot:2", 4, with({{2, "b"}, {4, "a"}})},
        {"strip onto an empty slot", 8, "vesk-slot:2", 5, with({{2, ""}, {5, "a"}})},
        {"empty slot onto a strip", 8, "vesk-slot:5", 2, with({{2, ""}, {5, "a"}})},
        {"strip onto itself", 8, "vesk-slot:2", 2, slotIDs},
        {"letters for an index", 8, "vesk-slot:two", 4, slotIDs},
        {"index beyond the list", 8, "vesk-slot:16", 4, slotIDs},
        {"negative index", 8, "vesk-slot:-1", 4, slotIDs},
        {"hidden slot", 8, "vesk-slot:8", 3, slotIDs},
        {"slot shown with 16 strips", 16, "vesk-slot:8", 3, with({{3, "c"}, {8, ""}})},
        {"target not shown", 8, "vesk-slot:2", 9, slotIDs},
        {"application onto another", 8, "vesk-app:a", 4, with({{2, "b"}, {4, "a"}})},
        {"application onto its own strip", 8, "vesk-app:a", 2, slotIDs},
        {"application onto an empty slot", 8, "vesk-app:a", 6, with({{2, ""}, {6, "a"}})},
        {"application that stands nowhere", 8, "vesk-app:d", 6, with({{6, "d"}})},
        {"application that stands nowhere onto a strip", 8, "vesk-app:d", 4, with({{4, "d"}})},
        {"application on a hidden slot onto an empty one", 8, "vesk-app:c", 3, with({{3, "c"}, {8, ""}})},
        {"application on a hidden slot onto a strip", 8, "vesk-app:c", 4, with({{4, "c"}, {8, "b"}})},
        {"application on a slot shown with 16", 16, "vesk-app:c", 3, with({{3, "c"}, {8, ""}})},
        {"application without an identifier", 8, "vesk-app:", 3, slotIDs},
        {"application onto a target not shown", 8, "vesk-app:d", 12, slotIDs},
        {"other text", 8, "bus:main", 3, slotIDs},
    };
    for (const Case& c : cases) EXPECT_EQ(afterDrop(slotIDs, c.shown, c.payload, c.target), c.expected) << c.what;

    // A short list: the shown slots end with it.
    EXPECT_EQ(afterDrop({"a", "b"}, 8, "vesk-slot:1", 2), QStringList({"a", "b"}));
    EXPECT_EQ(afterDrop({"a", "b"}, 8, "vesk-app:a", 2), QStringList({"a", "b"}));
}

class ConsoleSlots : public ConsoleFixture {};

TEST_F(ConsoleSlots, ADropWritesTheEngineSlotsThatChange) {
    engine().setSlot(kPlayer, 2);
    int changes = 0;
    QObject::connect(&engine(), &MixerEngine::slotsChanged, [&] { ++changes; });

    handleStripDrop(engine(), defaults(), "vesk-slot:0", 5);
    QStringList expected = defaultConsoleSlots();
    expected[0] = "";
    expected[2] = kPlayer;
    expected[5] = "bus:main";
    EXPECT_EQ(engine().consoleSlots(), expected);
    EXPECT_EQ(defaults().stringArrayValue("consoleSlots"), expected);

    changes = 0;
    handleStripDrop(engine(), defaults(), "vesk-slot:12", 3);  // hidden with 8 strips
    handleStripDrop(engine(), defaults(), "vesk-app:" + kPlayer, 2);
    EXPECT_EQ(changes, 0);

    defaults().setInteger(kConsoleStripsKey, 16);
    handleStripDrop(engine(), defaults(), "vesk-app:" + kRadio, 12);
    handleStripDrop(engine(), defaults(), "vesk-slot:12", 3);
    EXPECT_EQ(engine().consoleSlots()[3], kRadio);
    EXPECT_EQ(engine().consoleSlots()[12], "");
}

TEST_F(ConsoleSlots, CellsStandForIndexAndSource) {
    engine().setSlot("bus:main", 3);  // MAIN twice
    const auto cells = consoleSlotCells(engine().consoleSlots(), 8);
    ASSERT_EQ(cells.size(), 8u);
    EXPECT_EQ(cells[0].identifier, "bus:main");
    EXPECT_EQ(cells[0].dragPayload(), "vesk-slot:0");
    EXPECT_NE(cells[0], cells[3]) << "one source in two slots";
    EXPECT_NE(cells[4], cells[5]) << "two empty slots";
    EXPECT_EQ(cells[2].dragPayload(), std::nullopt) << "no drag from an empty slot";
    EXPECT_EQ(cells[2].emptyAccessibilityLabel(), "Empty strip 3: choose a source");
    EXPECT_EQ(cells[7].emptyObjectName(), "empty-strip-8");
    // Indices beyond the list read as empty slots.
    EXPECT_EQ(consoleSlotCells({"bus:main"}, 16).back(), (ConsoleSlotCell{15, ""}));
}

TEST_F(ConsoleSlots, TheSourceMenuOffersEverySourceAndWritesOnlyItsSlot) {
    auto titles = [&](int index) {
        QStringList out;
        for (const MenuItem& item : slotSourceMenu(index, engine()))
            out << (item.kind == MenuItem::Kind::Separator ? "[" + item.title + "]" : item.title + " " + item.symbol);
        return out;
    };
    EXPECT_EQ(titles(3), QStringList({"[Buses]", "MAIN hifispeaker.fill", "PHONES headphones", "[System]",
                                      "Output speaker.wave.3.fill", "Input mic.fill", "[Apps]", kPlayer + " app",
                                      kRadio + " app"}));
    // An application already on a strip is offered and lands on a second one.
    engine().setSlot(kPlayer, 2);
    const MenuModel menu = slotSourceMenu(5, engine());
    findMenuItem(menu, kPlayer)->action();
    EXPECT_EQ(engine().consoleSlots()[2], kPlayer);
    EXPECT_EQ(engine().consoleSlots()[5], kPlayer);
    findMenuItem(slotSourceMenu(0, engine()), "Input")->action();
    EXPECT_EQ(engine().consoleSlots()[0], "system_input");

    quitApp(101, playerProcess);
    quitApp(102, radioProcess);
    settle();
    EXPECT_FALSE(titles(3).contains("[Apps]"));
}

TEST(StripDropHighlight, FollowsTheLatestSlotAndClearsOnLeaveOrDrop) {
    StripDropHighlight h;
    h.entered(4);
    h.entered(5);
    h.left(4);  // late news of the slot left before
    EXPECT_EQ(h.target(), 5);
    EXPECT_TRUE(h.highlights(5));
    h.dropped(5);
    EXPECT_EQ(h.target(), std::nullopt);
    h.entered(3);
    h.left(3);
    EXPECT_EQ(h.target(), std::nullopt);
}

TEST(EmptySlotLook, ThePlusIsLightOnDaylightAndHeavyOnTheDarkThemes) {
    const EmptySlotLook day = EmptySlotLook::of(ThemeMode::Daylight);
    EXPECT_EQ(day.weight, QFont::Thin);
    EXPECT_EQ(day.color, palette(ThemeMode::Daylight).textMuted);
    const EmptySlotLook booth = EmptySlotLook::of(ThemeMode::Booth);
    EXPECT_EQ(booth.weight, QFont::Black);
    EXPECT_EQ(booth.color, palette(ThemeMode::Booth).textSecondary);
    EXPECT_NEAR(booth.shadow.alphaF(), 0.6, 1e-3);
}

}  // namespace
}  // namespace quellor::test
