// The startup screen: the list of recent setups, the ways in that close it, the ones that leave it
// open, and its size and colours.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

#include "FakeSessionEngine.h"
#include "TestEnvironment.h"
#include "app/StartupScreenController.h"
#include "setups/SessionManager.h"
#include "ui/style/PromptSheet.h"
#include "ui/style/ThemeController.h"

using namespace quellor;
using startup::Element;

namespace {

const QDateTime kDay = QDateTime(QDate(2024, 5, 1), QTime(9, 0), Qt::UTC);

MixSession setup(const QString& name, const QDateTime& modified) {
    MixSession s;
    s.name = name;
    s.createdAt = modified;
    s.modifiedAt = modified;
    return s;
}

class StartupScreenTest : public test::QuellorTest {
protected:
    // The setups file holds `setups`; the first is current.
    void load(const std::vector<MixSession>& setups) {
        // The manager before goes first: its last write would land over the fresh file.
        controller.reset();
        sessions.reset();
        MixSessionFile file{setups.front().id, setups};
        ASSERT_TRUE(MixSessionStore(path()).save(file));
        sessions = std::make_unique<SessionManager>(engine, MixSessionStore(path()), [] { return kDay.addDays(30); });
    }
    QString path() const { return dir.filePath("sessions.json"); }
    StartupScreenController& show(std::optional<QString> updateTitle = std::nullopt) {
        controller = std::make_unique<StartupScreenController>(StartupScreenController::Environment{
            defaults(), themes, [this](QWidget*) { return panelAnswer; }, [this] { ++quits; }});
        controller->show(*sessions, updateTitle, [this] { ++updates; }, [this] { ++opens; });
        return *controller;
    }
    StartupScreenView* view() const { return controller->window(); }
    void click(Element element, int row = -1) {
        ASSERT_TRUE(view());
        const auto rect = view()->layout().rect(element, row);
        ASSERT_TRUE(rect) << int(element) << " " << row;
        QTest::mouseClick(view(), Qt::LeftButton, {}, rect->center());
    }
    QStringList rowTitles() const {
        QStringList titles;
        for (const auto& r : view()->model().rows) titles << r.title;
        return titles;
    }

    QTemporaryDir dir;
    test::FakeSessionEngine engine;
    std::unique_ptr<SessionManager> sessions;
    ThemeController themes{defaults()};
    std::unique_ptr<StartupScreenController> controller;
    std::optional<QString> panelAnswer;
    int updates = 0;
    int opens = 0;
    int quits = 0;
};

TEST_F(StartupScreenTest, ListsTheTenNewestSetupsNewestFirstAndEqualDatesKeepTheirOrder) {
    std::vector<MixSession> setups;
    for (int i = 0; i < 12; ++i) setups.push_back(setup(QString("S%1").arg(i), kDay.addDays(i)));
    setups[3].modifiedAt = setups[11].modifiedAt;  // S11 and S3 share the newest date; S3 comes first in the list
    load(setups);
    show();
    ASSERT_TRUE(view()->isVisible());
    EXPECT_EQ(rowTitles(), (QStringList{"S3", "S11", "S10", "S9", "S8", "S7", "S6", "S5", "S4", "S2"}));
    EXPECT_EQ(view()->width(), 376);
    EXPECT_EQ(view()->model().chevron, "chevron.down");
    EXPECT_TRUE(view()->windowFlags() & Qt::FramelessWindowHint);
    // Rows are 28 high and 2 apart, the window as high as its content.
    const QRect first = *view()->layout().rect(Element::Row, 0), second = *view()->layout().rect(Element::Row, 1);
    EXPECT_EQ(first.height(), 28);
    EXPECT_EQ(second.top() - first.bottom() - 1, 2);
    EXPECT_EQ(view()->height(), view()->layout().rect(Element::Row, 9)->bottom() + 1 + 24);
}

TEST_F(StartupScreenTest, TheCollapsedStateIsStoredAndAClickOnTheHeaderTogglesIt) {
    load({setup("Live", kDay), setup("Rehearsal", kDay.addDays(-1))});
    defaults().setBool(startup::kCollapsedKey, true);
    show();
    EXPECT_EQ(view()->model().chevron, "chevron.right");
    EXPECT_TRUE(view()->model().rows.empty());
    const int collapsedHeight = view()->height();
    click(Element::RecentHeader);
    EXPECT_EQ(defaults().boolValue(startup::kCollapsedKey), false);
    advance(0);
    EXPECT_EQ(rowTitles(), (QStringList{"Live", "Rehearsal"}));
    EXPECT_GT(view()->height(), collapsedHeight);
    EXPECT_EQ(opens, 0);
}

TEST_F(StartupScreenTest, PickingARecentSetupSwitchesToItClosesAndOpens) {
    const MixSession live = setup("Live", kDay), rehearsal = setup("Rehearsal", kDay.addDays(-1));
    load({live, rehearsal});
    show();
    click(Element::Row, 1);
    EXPECT_EQ(sessions->currentID(), rehearsal.id);
    EXPECT_FALSE(controller->window());
    EXPECT_EQ(opens, 1);

    // The current setup opens too (the switch itself does nothing).
    show();
    click(Element::Row, 1);
    EXPECT_EQ(opens, 2);
    EXPECT_EQ(sessions->currentID(), rehearsal.id);
}

TEST_F(StartupScreenTest, AClickLandsOnTheSetupPressedEvenWhenTheListIsRebuiltInBetween) {
    const MixSession old = setup("Old", kDay.addDays(-1)), fresh = setup("Fresh", kDay);
    load({old, fresh});  // Old is current
    show();
    ASSERT_EQ(rowTitles(), (QStringList{"Fresh", "Old"}));
    const QPoint second = view()->layout().rect(Element::Row, 1)->center();
    const QPoint first = view()->layout().rect(Element::Row, 0)->center();
    // The live mix is saved into the current setup while the button is down: Old moves up.
    QTest::mousePress(view(), Qt::LeftButton, {}, second);
    sessions->captureCurrent();
    advance(0);
    ASSERT_EQ(rowTitles(), (QStringList{"Old", "Fresh"}));
    QTest::mouseRelease(view(), Qt::LeftButton, {}, second);
    EXPECT_EQ(opens, 0) << "Fresh was not the setup pressed";
    EXPECT_EQ(sessions->currentID(), old.id);

    QTest::mousePress(view(), Qt::LeftButton, {}, first);
    sessions->captureCurrent();
    advance(0);
    QTest::mouseRelease(view(), Qt::LeftButton, {}, first);
    EXPECT_EQ(opens, 1);
    EXPECT_EQ(sessions->currentID(), old.id);
}

TEST_F(StartupScreenTest, EscapeAndTheWindowManagersCloseGoInWithTheCurrentSetup) {
    const MixSession a = setup("A", kDay), b = setup("B", kDay.addDays(1));
    for (bool byEscape : {true, false}) {
        SCOPED_TRACE(byEscape ? "Escape" : "window manager");
        load({a, b});
        opens = 0;
        show();
        if (byEscape) QTest::keyClick(view(), Qt::Key_Escape);
        else view()->close();  // what the window manager's WM_DELETE_WINDOW asks for
        EXPECT_FALSE(view());
        EXPECT_EQ(opens, 1);
        EXPECT_EQ(sessions->currentID(), a.id) << "no switch";
        EXPECT_EQ(sessions->sessions().size(), 2u);
    }
}

TEST_F(StartupScreenTest, TabWalksTheElementsAndReturnOrSpaceActivatesTheFocusedOne) {
    const MixSession a = setup("A", kDay), b = setup("B", kDay.addDays(1));
    struct Case {
        std::vector<int> keys;  // Qt::Key values typed in order
        Element focused;
        int row;
    };
    // The elements: New Setup, Open Setup, the update button, the header, row 0 (B), row 1 (A).
    const std::vector<Case> cases = {
        {{}, Element::NewSetup, -1},
        {{Qt::Key_Tab}, Element::OpenSetup, -1},
        {{Qt::Key_Tab, Qt::Key_Tab, Qt::Key_Tab, Qt::Key_Tab, Qt::Key_Tab}, Element::Row, 1},
        {{Qt::Key_Tab, Qt::Key_Tab, Qt::Key_Tab, Qt::Key_Tab, Qt::Key_Tab, Qt::Key_Tab}, Element::NewSetup, -1},
        {{Qt::Key_Backtab}, Element::Row, 1},
        {{Qt::Key_Down, Qt::Key_Down, Qt::Key_Up}, Element::OpenSetup, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.keys));
        load({a, b});
        show("Update to 2.1…");
        for (int key : c.keys) QTest::keyClick(view(), Qt::Key(key), key == Qt::Key_Backtab ? Qt::ShiftModifier : Qt::NoModifier);
        const auto focused = view()->focusedItem();
        ASSERT_TRUE(focused);
        EXPECT_EQ(focused->element, c.focused);
        EXPECT_EQ(focused->row, c.row);
        EXPECT_EQ(view()->showsFocusRing(), !c.keys.empty());
    }

    // Space on the first row switches to B; Return on the update button runs the update and stays.
    load({a, b});
    opens = updates = 0;
    show("Update to 2.1…");
    for (int i = 0; i < 4; ++i) QTest::keyClick(view(), Qt::Key_Tab);
    QTest::keyClick(view(), Qt::Key_Space);
    EXPECT_EQ(opens, 1);
    EXPECT_EQ(sessions->currentID(), b.id);
    load({a, b});
    show("Update to 2.1…");
    QTest::keyClick(view(), Qt::Key_Tab);
    QTest::keyClick(view(), Qt::Key_Tab);
    QTest::keyClick(view(), Qt::Key_Return);
    EXPECT_EQ(updates, 1);
    EXPECT_TRUE(view());
    // The focus stays on the same setup when the list is rebuilt around it: the live mix saved into
    // the current setup, A, moves it up.
    for (int i = 0; i < 3; ++i) QTest::keyClick(view(), Qt::Key_Tab);
    ASSERT_EQ(view()->focusedItem()->row, 1);
    sessions->captureCurrent();
    advance(0);
    ASSERT_EQ(view()->model().rows[0].title, "A");
    EXPECT_EQ(view()->focusedItem()->row, 0);
    // Return on New Setup opens its sheet.
    show();
    QTest::keyClick(view(), Qt::Key_Return);
    EXPECT_TRUE(controller->namingSheet()->isVisible());
}

TEST_F(StartupScreenTest, CtrlQQuits) {
    load({setup("A", kDay)});
    show();
    // A window shortcut answers in the active window.
    ASSERT_TRUE(QTest::qWaitForWindowActive(view()));
    QTest::keyClick(view(), Qt::Key_Q, Qt::ControlModifier);
    EXPECT_EQ(quits, 1);
    EXPECT_TRUE(view()) << "quitting is not a way in";
}

TEST_F(StartupScreenTest, ANewSetupIsNamedInASheetAndAnEmptyNameStillCreatesIt) {
    load({setup("Live", kDay)});
    show();
    click(Element::NewSetup);
    PromptSheet* sheet = controller->namingSheet();
    ASSERT_TRUE(sheet && sheet->isVisible());
    EXPECT_EQ(sheet->title(), "New setup");
    EXPECT_EQ(sheet->field()->placeholderText(), "Setup name");
    EXPECT_EQ(sheet->text(), "");
    QTest::keyClick(sheet->field(), Qt::Key_Return);
    EXPECT_EQ(sessions->sessions().size(), 2u);
    EXPECT_EQ(sessions->currentSession()->id, sessions->sessions().back().id);
    EXPECT_FALSE(controller->window());
    EXPECT_EQ(opens, 1);
    advance(0);  // the closed window goes

    show();
    click(Element::NewSetup);
    QTest::keyClick(controller->namingSheet()->field(), Qt::Key_Escape);
    EXPECT_EQ(sessions->sessions().size(), 2u);
    EXPECT_TRUE(view()->isVisible());
    EXPECT_EQ(opens, 1);
}

TEST_F(StartupScreenTest, OpeningAFileClosesOnlyWhenTheImportSucceeds) {
    load({setup("Live", kDay)});
    show();
    panelAnswer = std::nullopt;  // cancelled
    click(Element::OpenSetup);
    EXPECT_TRUE(view() && view()->isVisible());
    QFile junk(dir.filePath("junk.quellorsetup"));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write("not a setup");
    junk.close();
    panelAnswer = junk.fileName();
    click(Element::OpenSetup);
    EXPECT_TRUE(view() && view()->isVisible());
    EXPECT_EQ(sessions->sessions().size(), 1u);
    EXPECT_EQ(opens, 0);

    const QString good = dir.filePath("good.quellorsetup");
    ASSERT_TRUE(MixSessionStore::writeAtomically(good, *MixSessionStore::encode(setup("Imported", kDay))));
    panelAnswer = good;
    click(Element::OpenSetup);
    EXPECT_EQ(sessions->currentSession()->name, "Imported");
    EXPECT_FALSE(controller->window());
    EXPECT_EQ(opens, 1);
}

TEST_F(StartupScreenTest, TheUpdateButtonAppearsWithATitleAndLeavesTheWindowOpen) {
    load({setup("Live", kDay)});
    show();
    EXPECT_FALSE(view()->layout().rect(Element::Update));
    const int plainHeight = view()->height();
    show("Update to 2.1…");
    EXPECT_EQ(view()->model().updateButtonTitle, "⟳ Update to 2.1…");
    EXPECT_EQ(view()->height(), plainHeight + 8 + 30);
    click(Element::Update);
    EXPECT_EQ(updates, 1);
    EXPECT_TRUE(view()->isVisible());
    EXPECT_EQ(opens, 0);
}

TEST_F(StartupScreenTest, TheWindowPaintsInTheThemesPanelColour) {
    load({setup("Live", kDay)});
    for (ThemeMode mode : kAllThemes) {
        themes.choose(mode);
        show();
        advance(startup::kEntranceDuration);
        const QImage image = view()->grab().toImage();
        // Below the glow of the top half, away from every control.
        EXPECT_EQ(image.pixelColor(3, image.height() - 3), palette(mode).panel) << rawValue(mode).toStdString();
        EXPECT_EQ(QApplication::palette().color(QPalette::Window).lightness() > 128, mode == ThemeMode::Daylight);
    }
}

TEST(StartupScreen, ModelWithoutSetupsAndDatesInTheLocalesShortFormat) {
    const startup::Model empty = startup::buildModel({}, false, std::nullopt);
    EXPECT_FALSE(empty.showsRecent);
    const startup::Layout layout = startup::layout(empty, 100);
    EXPECT_FALSE(layout.rect(Element::RecentHeader));
    EXPECT_TRUE(layout.rect(Element::NewSetup));
    EXPECT_TRUE(layout.rect(Element::OpenSetup));
    // 30 + header 42 + 10 + two buttons (8 + 30 each) + 24.
    EXPECT_EQ(layout.size, QSize(376, 30 + 42 + 10 + 2 * 38 + 24));
    EXPECT_EQ(layout.rect(Element::NewSetup)->left(), 28);
    EXPECT_EQ(layout.rect(Element::NewSetup)->width(), 320);

    const startup::Model one =
        startup::buildModel({setup("Live", QDateTime(QDate(2024, 3, 7), QTime(12, 0)))}, false, std::nullopt,
                            QLocale(QLocale::English, QLocale::UnitedStates));
    ASSERT_EQ(one.rows.size(), 1u);
    EXPECT_EQ(one.rows[0].date, "3/7/24");
}

TEST(StartupScreen, TheFocusRingHugsACapsuleButtonOrARoundedRow) {
    // The 2-pixel pen is centred one pixel outside the element, so the ring lies just outside it.
    struct Case {
        Element element;
        QRect rect;
        QRectF ring;
        double radius;
    };
    const Case cases[] = {
        {Element::NewSetup, {28, 90, 320, 30}, {27, 89, 322, 32}, 17},  // half the outer height: a capsule
        {Element::Update, {28, 166, 320, 30}, {27, 165, 322, 32}, 17},
        {Element::Row, {28, 230, 320, 28}, {27, 229, 322, 30}, 8},  // the row's 6, grown by the ring
    };
    for (const Case& c : cases) {
        const startup::FocusRing ring = startup::focusRing({c.element, c.rect, 0});
        EXPECT_EQ(ring.rect, c.ring) << int(c.element);
        EXPECT_DOUBLE_EQ(ring.radius, c.radius) << int(c.element);
    }
}

TEST(StartupScreen, TheEntranceFadesAndGrowsInOnce) {
    struct Case {
        double elapsed, opacity, scale;
    };
    for (const Case& c : {Case{0, 0, 0.965}, Case{startup::kEntranceDuration, 1, 1}, Case{5, 1, 1}}) {
        const auto frame = startup::entranceFrame(c.elapsed);
        EXPECT_DOUBLE_EQ(frame.opacity, c.opacity);
        EXPECT_DOUBLE_EQ(frame.scale, c.scale);
    }
    // Easing out: more than half way at half the time, and never backwards.
    EXPECT_GT(startup::entranceFrame(startup::kEntranceDuration / 2).opacity, 0.5);
    double last = 0;
    for (int i = 1; i <= 32; ++i) {
        const double now = startup::entranceFrame(i * 0.01).opacity;
        EXPECT_GE(now, last);
        last = now;
    }
}

}  // namespace
