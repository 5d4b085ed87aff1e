// The main window and its view, offscreen: size and placement, the sheets the requests open, the
// sidebar and the split handle.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include "FakeSessionEngine.h"
#include "TestEnvironment.h"
#include "app/MainWindowController.h"
#include "app/MainWindowView.h"
#include "app/NoticeBanners.h"
#include "app/SplitHandle.h"
#include "setups/SessionManager.h"
#include "ui/style/InlineBanner.h"
#include "ui/style/PromptSheet.h"

using namespace quellor;

class MainWindowTest : public test::QuellorTest {
protected:
    MainWindowTest() {
        engine.devices = {{7, "USB-1"}};
        engine.defaultDeviceID = 7;
        sessions = std::make_unique<SessionManager>(engine, MixSessionStore(dir.filePath("sessions.json")));
    }
    MainWindowController& controller() {
        if (!controller_)
            controller_ = std::make_unique<MainWindowController>(
                defaults(), MainWindowController::Builders{[this] {
                                                               view = new MainWindowView(*sessions, defaults(), themes, notifier);
                                                               return static_cast<QWidget*>(view);
                                                           },
                                                           {}});
        return *controller_;
    }
    void post(AppNotification n) { notifier.post(n); }

    QTemporaryDir dir;
    test::FakeSessionEngine engine;
    std::unique_ptr<SessionManager> sessions;
    ThemeController themes{defaults()};
    AppNotifier notifier;
    MainWindowView* view = nullptr;
    std::unique_ptr<MainWindowController> controller_;
};

TEST_F(MainWindowTest, OpensAtItsSizeOrAtLeastTheMinimumCentred) {
    struct Case {
        QString saved;
        QSize content;
    };
    const Case cases[] = {{"", {1180, 900}}, {"10 20 700 500", {840, 640}}, {"0 0 1000 700", {1000, 700}}, {"junk", {1180, 900}}};
    for (const auto& c : cases) {
        controller_.reset();
        if (c.saved.isEmpty()) defaults().remove(MainWindowController::kFrameKey);
        else defaults().setString(MainWindowController::kFrameKey, c.saved);
        controller().show();
        QMainWindow* window = controller().window();
        ASSERT_TRUE(window);
        EXPECT_EQ(window->windowTitle(), "Quellor");
        EXPECT_EQ(view->size(), c.content) << qPrintable(c.saved);
        QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        EXPECT_LE(std::abs(window->geometry().center().x() - screen.center().x()), 2) << qPrintable(c.saved);
        EXPECT_EQ(view->minimumSize(), QSize(840, 640));
    }
}

TEST_F(MainWindowTest, ClosingHidesTheSameWindowAndItsSheetsSurvive) {
    controller().show();
    QMainWindow* window = controller().window();
    post(AppNotification::ShowSettings);
    EXPECT_TRUE(view->settingsSheet()->isVisible());
    window->close();
    EXPECT_FALSE(window->isVisible());
    controller().show();
    EXPECT_EQ(controller().window(), window);
    EXPECT_TRUE(view->sheets().showSettings);
}

TEST_F(MainWindowTest, ToggleClosesTheFocusedWindowAndOtherwiseShowsIt) {
    controller().toggle();  // no window yet: created and shown
    QMainWindow* window = controller().window();
    ASSERT_TRUE(window);
    EXPECT_TRUE(window->isVisible());
    QApplication::setActiveWindow(window);
    ASSERT_TRUE(window->isActiveWindow());
    controller().toggle();
    EXPECT_FALSE(window->isVisible());
    controller().toggle();
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(controller().window(), window);
}

TEST_F(MainWindowTest, RequestsOpenThePromptsAndOKNamesTheSetup) {
    controller().show();
    post(AppNotification::RenameSetup);
    PromptSheet* prompt = view->promptSheet();
    ASSERT_TRUE(prompt->isVisible());
    EXPECT_EQ(prompt->title(), "Rename setup");
    EXPECT_EQ(prompt->text(), sessions->currentSession()->name);
    post(AppNotification::NewSetup);  // replaces the rename prompt
    EXPECT_EQ(prompt->title(), "New setup");
    EXPECT_EQ(prompt->text(), "");
    QTest::keyClicks(prompt->field(), "Evening");
    QTest::keyClick(prompt->field(), Qt::Key_Return);
    EXPECT_FALSE(prompt->isVisible());
    EXPECT_FALSE(view->sheets().setupPrompt);
    EXPECT_EQ(sessions->currentSession()->name, "Evening");

    post(AppNotification::ShowSettings);
    post(AppNotification::RenameSetup);
    post(AppNotification::DismissSheets);
    EXPECT_FALSE(prompt->isVisible());
    EXPECT_FALSE(view->settingsSheet()->isVisible());
}

TEST_F(MainWindowTest, ThemeChangeRepaintsAndKeepsAnOpenSheet) {
    controller().show();
    post(AppNotification::ShowSettings);
    themes.choose(ThemeMode::Daylight);
    EXPECT_TRUE(view->settingsSheet()->isVisible());
    QImage image = view->grab().toImage();
    const Palette day = palette(ThemeMode::Daylight);
    EXPECT_EQ(image.pixelColor(10, image.height() - 10), day.panel);                 // sources column
    EXPECT_EQ(image.pixelColor(image.width() - 10, image.height() - 10), day.void_);  // console column
}

TEST_F(MainWindowTest, TheHandleDragsTheColumnWithinItsRangeAndResizingNeverStoresIt) {
    defaults().remove(MainWindowView::kLeftWidthKey);
    controller().show();
    controller().window()->resize(1600, 1000);
    EXPECT_FALSE(defaults().contains(MainWindowView::kLeftWidthKey));
    EXPECT_NEAR(view->sourcesWidth(), 344, 1e-9);
    auto* handle = view->findChild<SplitHandle*>();
    ASSERT_TRUE(handle);
    EXPECT_EQ(handle->width(), 9);
    const QPoint grip(4, 100);
    QTest::mousePress(handle, Qt::LeftButton, {}, grip);
    QMouseEvent move(QEvent::MouseMove, QPointF(grip + QPoint(1000, 0)), handle->mapToGlobal(QPointF(grip + QPoint(1000, 0))),
                     Qt::NoButton, Qt::LeftButton, {});
    QApplication::sendEvent(handle, &move);
    EXPECT_EQ(defaults().doubleOr(MainWindowView::kLeftWidthKey, 0), 520);
    QMouseEvent left(QEvent::MouseMove, QPointF(grip), handle->mapToGlobal(QPointF(grip - QPoint(1000, 0))), Qt::NoButton,
                     Qt::LeftButton, {});
    QApplication::sendEvent(handle, &left);
    EXPECT_EQ(defaults().doubleOr(MainWindowView::kLeftWidthKey, 0), 300);

    // Hiding slides the column out over 0.2 s, the console following its edge; showing slides it back.
    QWidget* console = view->findChild<QWidget*>("console-column");
    QWidget* sources = view->findChild<QWidget*>("sources-column");
    const int shownX = console->geometry().x();
    defaults().setBool(MainWindowView::kSidebarHiddenKey, true);
    advance(0.1);
    EXPECT_TRUE(sources->isVisible());
    EXPECT_GT(console->geometry().x(), 0);
    EXPECT_LT(console->geometry().x(), shownX);
    EXPECT_FALSE(handle->isVisible()) << "no dragging of a column on the move";
    advance(0.15);
    EXPECT_FALSE(handle->isVisible());
    EXPECT_FALSE(sources->isVisible());
    EXPECT_EQ(console->geometry().x(), 0);
    defaults().setBool(MainWindowView::kSidebarHiddenKey, false);
    advance(0.25);
    EXPECT_TRUE(sources->isVisible() && handle->isVisible());
    EXPECT_EQ(console->geometry().x(), shownX);
}

// A notice stands at the top of the sources column with the content under it, or of the console column
// while the sources column is hidden; its OK takes it away.
TEST_F(MainWindowTest, ANoticeShowsAtTheTopOfTheVisibleColumnUntilItIsDismissed) {
    UserNotices notices;
    controller().show();
    view->setNotices(notices);
    auto* sourcesContent = new QWidget;
    view->setSourcesContent(sourcesContent);
    auto* consoleContent = new QWidget;
    view->setConsoleContent(new QWidget, consoleContent);
    QWidget* sources = view->findChild<QWidget*>("sources-column");
    QWidget* console = view->findChild<QWidget*>("console-column");
    auto banner = [&] { return view->findChild<InlineBanner*>("notice-banner"); };
    EXPECT_FALSE(banner());
    EXPECT_EQ(sourcesContent->y(), 0);

    notices.setupsSaveFailing(true, "sessions.json: No space left on device");
    ASSERT_TRUE(banner());
    EXPECT_TRUE(banner()->isVisible());
    EXPECT_EQ(banner()->title(), "Your setups cannot be saved");
    EXPECT_EQ(banner()->detail(), "sessions.json: No space left on device. Quellor keeps them and saves them as soon as it can.");
    const QRect shown = view->noticeBanners()->geometry();
    EXPECT_TRUE(sources->geometry().contains(shown));
    EXPECT_LE(shown.y(), 8);
    EXPECT_GE(sourcesContent->y(), shown.bottom());

    defaults().setBool(MainWindowView::kSidebarHiddenKey, true);
    advance(0.3);
    const QRect inConsole = view->noticeBanners()->geometry();
    EXPECT_TRUE(console->geometry().contains(inConsole));
    EXPECT_GT(inConsole.y(), MainWindowView::kTopBarHeight);
    EXPECT_GE(console->mapTo(view, consoleContent->pos()).y(), inConsole.bottom());

    QTest::mouseClick(banner()->button(), Qt::LeftButton);
    EXPECT_TRUE(notices.notices().empty());
    EXPECT_FALSE(view->noticeBanners()->isVisible());
    EXPECT_EQ(consoleContent->y(), MainWindowView::kTopBarHeight + 1);
}
