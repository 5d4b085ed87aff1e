// The console's top bar and pane as widgets: the row the width allows, CLEAR SOLO, the lock, the
// icon buttons, and the MAIN mute laid over the MAIN strip.
#include <QMenu>
#include <set>
#include <QScrollBar>
#include <QTest>

#include "ConsoleFixture.h"
#include "ui/console/ConsolePane.h"
#include "ui/console/ConsoleFaderWidget.h"
#include "ui/console/ConsoleStripWidget.h"
#include "ui/console/ConsoleTopBarWidget.h"
#include "ui/console/ConsoleView.h"
#include "ui/console/StripButtonRow.h"
#include "ui/style/ThemeController.h"
#include "ui/style/ThemeSwitch.h"

namespace quellor::test {
namespace {

class ConsoleTopBarWidgetTest : public ConsoleFixture {
protected:
    std::unique_ptr<ConsoleTopBarWidget> bar(int width) {
        auto b = std::make_unique<ConsoleTopBarWidget>(engine(), defaults(), themes, [this] { ++settingsOpened; });
        b->resize(width, 45);
        b->show();
        return b;
    }
    static void click(QWidget* w) { QTest::mouseClick(w, Qt::LeftButton, {}, w->rect().center()); }

    ThemeController themes{defaults()};
    int settingsOpened = 0;
};

TEST_F(ConsoleTopBarWidgetTest, TheWidthChoosesTheRowAndTheRowChoosesWhatIsShown) {
    using Row = ConsoleTopBar::Row;
    struct Case {
        int width;
        Row row;
        bool themeSwitch, moreMenu, fullLock;
    };
    const Case cases[] = {
        {900, Row::A, true, false, true},
        {200, Row::D, false, true, false},
        {60, Row::D, false, true, false},  // nothing fits: the narrowest row anyway
    };
    for (const Case& c : cases) {
        auto b = bar(c.width);
        EXPECT_EQ(b->row(), c.row) << c.width;
        EXPECT_EQ(b->themeSwitch()->isVisible(), c.themeSwitch) << c.width;
        EXPECT_EQ(b->moreMenuButton()->isVisible(), c.moreMenu) << c.width;
        EXPECT_EQ(b->lockButton()->face().text.has_value(), c.fullLock) << c.width;
        EXPECT_TRUE(b->sidebarButton()->isVisible() && b->settingsButton()->isVisible()) << c.width;
        if (c.width >= 200) {
            EXPECT_LE(b->settingsButton()->geometry().right(), c.width - 14) << "the icon group ends at the padding";
        }
    }
    // Between A and D: narrowing step by step passes through B and C, and never widens back.
    auto b = bar(900);
    int last = int(Row::A);
    std::set<Row> seen;
    for (int w = 900; w >= 150; w -= 5) {
        b->resize(w, 45);
        EXPECT_GE(int(b->row()), last) << w;
        last = int(b->row());
        seen.insert(b->row());
    }
    EXPECT_EQ(seen, (std::set<Row>{Row::A, Row::B, Row::C, Row::D}));
}

TEST_F(ConsoleTopBarWidgetTest, ClearSoloAppearsWithASoloAndReleasesEveryOne) {
    auto b = bar(900);
    EXPECT_FALSE(b->clearSoloButton()->isVisible());
    engine().applySolo(true, kPlayer);
    engine().applySolo(true, kRadio);
    EXPECT_TRUE(b->clearSoloButton()->isVisible()) << "a solo set anywhere shows the button at once";
    click(b->clearSoloButton());
    EXPECT_TRUE(engine().soloed().empty());
    EXPECT_FALSE(b->clearSoloButton()->isVisible());
}

TEST_F(ConsoleTopBarWidgetTest, ButtonsActThroughTheDefaultsAndTheirFacesFollow) {
    auto b = bar(900);
    click(b->lockButton());
    EXPECT_TRUE(defaults().boolOr("consoleLocked", false));
    EXPECT_EQ(b->lockButton()->face().text, "LOCKED");
    EXPECT_EQ(b->lockButton()->objectName(), "console-lock");
    EXPECT_EQ(b->lockButton()->toolTip(),
              "Console locked: faders and buttons ignore the mouse (MUTE on MAIN still works)");
    defaults().setBool("consoleLocked", false);  // a remote lock command, say
    EXPECT_EQ(b->lockButton()->face().text, "LOCK");

    click(b->sidebarButton());
    EXPECT_TRUE(defaults().boolOr("sidebarHidden", false));
    EXPECT_EQ(b->sidebarButton()->accessibleName(), "Show sidebar");
    click(b->settingsButton());
    EXPECT_EQ(settingsOpened, 1);
    EXPECT_EQ(b->settingsButton()->objectName(), "console-settings");

    b->resize(200, 45);
    ASSERT_TRUE(b->moreMenuButton()->menu());
    EXPECT_EQ(b->moreMenuButton()->objectName(), "more-menu");
}

TEST_F(ConsoleTopBarWidgetTest, CardsTakeTheirPlacesOnlyInTheRowsThatHoldThem) {
    auto b = bar(900);
    auto* count = new QWidget;
    count->setFixedSize(90, 24);
    auto* meter = new QWidget;
    meter->setFixedSize(80, 24);
    b->setCards(count, meter);
    ASSERT_EQ(b->row(), ConsoleTopBar::Row::A);
    EXPECT_TRUE(count->isVisible() && meter->isVisible());
    EXPECT_LT(count->geometry().right(), b->lockButton()->geometry().left());
    EXPECT_LT(b->lockButton()->geometry().right(), meter->geometry().left());
    for (int w = 900; b->row() != ConsoleTopBar::Row::C; w -= 5) b->resize(w, 45);
    EXPECT_TRUE(count->isVisible());
    EXPECT_FALSE(meter->isVisible()) << "row C folds the meter source into the more-menu";
}

TEST_F(ConsoleTopBarWidgetTest, RecordingCardsShowInFullWhereThereIsRoomAndTheBallAlwaysStays) {
    auto b = bar(1200);
    struct Card : QWidget {
        explicit Card(int width) : width(width) {}
        QSize sizeHint() const override { return {width, 28}; }
        int width;
    };
    auto* rec = new Card(150);
    auto* ball = new Card(28);
    auto* latest = new Card(116);
    b->setRecordingCards(rec, ball, latest);
    ASSERT_EQ(b->row(), ConsoleTopBar::Row::A);
    EXPECT_TRUE(rec->isVisible() && latest->isVisible());
    EXPECT_FALSE(ball->isVisible());
    EXPECT_LT(rec->geometry().right(), latest->geometry().left());
    EXPECT_LT(latest->geometry().right(), b->lockButton()->geometry().left());
    struct Case {
        ConsoleTopBar::Row row;
        bool full, compact, latest;
    };
    for (const Case& c : {Case{ConsoleTopBar::Row::B, false, true, true}, Case{ConsoleTopBar::Row::C, false, true, true},
                          Case{ConsoleTopBar::Row::D, false, true, false}}) {
        for (int w = b->width(); b->row() != c.row && w > 0; w -= 5) b->resize(w, 45);
        ASSERT_EQ(b->row(), c.row);
        EXPECT_EQ(rec->isVisible(), c.full);
        EXPECT_EQ(ball->isVisible(), c.compact);
        EXPECT_EQ(latest->isVisible(), c.latest);
    }
    // The cards widen the bar's ideal row; without them it is as before.
    EXPECT_GT(ConsoleTopBar::idealWidth(ConsoleTopBar::rowLayout(ConsoleTopBar::Row::A, false, true), {}),
              ConsoleTopBar::idealWidth(ConsoleTopBar::rowLayout(ConsoleTopBar::Row::A, false), {}));
}

class ConsolePaneTest : public ConsoleFixture {
protected:
    std::unique_ptr<ConsolePane> pane(QSize size) {
        auto p = std::make_unique<ConsolePane>(engine(), nullptr, defaults(), themes);
        p->resize(size);
        p->show();
        settle();
        return p;
    }
    // The MAIN strip's free band in the pane's coordinates.
    static QRect bandOf(const ConsolePane& p, int index) {
        ConsoleStripWidget* strip = p.view()->strip(index);
        const QRect band = *strip->mainMuteAnchor();
        return QRect(strip->mapTo(&p, band.topLeft()), band.size());
    }

    ThemeController themes{defaults()};
};

TEST_F(ConsolePaneTest, TheMainMuteSitsOnTheMainStripAndFollowsItThroughASwap) {
    ASSERT_EQ(engine().consoleSlots().indexOf(RouteID::kMainBus), 0);
    auto p = pane({900, 500});
    MainMuteButton* mute = p->mainMute();
    ASSERT_TRUE(mute->isVisible());
    const QRect band = bandOf(*p, 0);
    EXPECT_EQ(mute->geometry().center().x(), band.center().x());
    EXPECT_EQ(mute->width(), band.width() - 6);
    EXPECT_EQ(mute->height(), 18);

    engine().setSlot(engine().consoleSlots()[3], 0);  // MAIN leaves the console
    settle();
    EXPECT_FALSE(mute->isVisible());
    engine().setSlot(RouteID::kMainBus, 3);
    settle();
    ASSERT_TRUE(mute->isVisible());
    EXPECT_EQ(mute->geometry().center().x(), bandOf(*p, 3).center().x());
}

TEST_F(ConsolePaneTest, WhileLockedAFaderClickDoesNothingAndTheMainMuteStillWorks) {
    defaults().setBool("consoleLocked", true);
    auto p = pane({900, 500});
    const QString id = engine().consoleSlots()[1];
    ConsoleStripWidget* strip = p->view()->strip(1);
    const float before = model(id).volume;
    QWidget* fader = strip->fader();
    const QPoint top = fader->mapTo(p.get(), QPoint(fader->width() / 2, 4));
    // Delivered where the pointer would land: the pane resolves the child under the point.
    QWidget* under = p->childAt(top);
    if (under) QTest::mouseClick(under, Qt::LeftButton, {}, under->mapFrom(p.get(), top));
    settle();
    EXPECT_EQ(model(id).volume, before);

    QTest::mouseClick(p->mainMute(), Qt::LeftButton, {}, p->mainMute()->rect().center());
    EXPECT_TRUE(engine().isPanicked());
    EXPECT_EQ(p->mainMute()->face().accessibilityLabel, "Main muted. Unmute");
    QTest::mouseClick(p->mainMute(), Qt::LeftButton, {}, p->mainMute()->rect().center());
    EXPECT_FALSE(engine().isPanicked());
}

TEST_F(ConsolePaneTest, TheMainMuteHidesWhileItsStripIsScrolledOutOfView) {
    defaults().setInteger("consoleStrips", 16);
    auto p = pane({420, 300});  // narrow and low: the grid scrolls
    QScrollBar* bar = p->view()->verticalScrollBar();
    ASSERT_GT(bar->maximum(), 0);
    ASSERT_TRUE(p->mainMute()->isVisible());
    bar->setValue(bar->maximum());
    EXPECT_FALSE(p->mainMute()->isVisible());
    bar->setValue(0);
    EXPECT_TRUE(p->mainMute()->isVisible());
}

}  // namespace
}  // namespace quellor::test
