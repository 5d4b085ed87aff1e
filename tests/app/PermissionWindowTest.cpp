// The audio-capture permission window appears once per run and closes itself once the permission
// is there; the banner only reports.
#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QTest>

#include "EngineFixture.h"
#include "app/PermissionBanner.h"
#include "app/PermissionTexts.h"
#include "app/PermissionWindow.h"
#include "app/WarningYellow.h"
#include "ui/style/ThemeController.h"

using namespace quellor;

namespace {

class PermissionWindowTest : public test::EngineFixture {
protected:
    std::unique_ptr<PermissionWindow> watch() {
        return std::make_unique<PermissionWindow>([this] { return needed; }, themes);
    }
    void set(bool value) {
        needed = value;
        window->flagChanged();
    }
    bool open() const { return window->window() && window->window()->isVisible(); }
    void click(const char* name) {
        ASSERT_TRUE(window->window());
        auto* button = window->window()->findChild<QPushButton*>(name);
        ASSERT_TRUE(button);
        QTest::mouseClick(button, Qt::LeftButton);
    }

    bool needed = false;
    ThemeController themes{defaults()};
    std::unique_ptr<PermissionWindow> window;
};

TEST_F(PermissionWindowTest, AFlagAlreadySetShowsTheWindowAtOnceAndGrantingClosesIt) {
    needed = true;
    window = watch();
    ASSERT_TRUE(open()) << "no turn of the event loop is needed";
    QWidget* w = window->window();
    EXPECT_EQ(w->windowTitle(), "Quellor");
    EXPECT_EQ(w->width(), PermissionWindowView::kWidth);
    EXPECT_FALSE(w->windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_EQ(w->findChild<QLabel*>("permission-headline")->text(), "Quellor needs permission to hear your apps");
    EXPECT_EQ(w->findChild<QLabel*>("permission-explanation")->text(),
              "To set an app's volume, Quellor processes that app's audio — so the audio system has to let it "
              "capture what the other apps play. Until it does, the faders will not move anything.\n\nQuellor "
              "does not record or store your audio, and no audio ever leaves this computer.");
    EXPECT_EQ(w->findChild<QLabel*>("permission-instruction")->text(),
              "On PipeWire Quellor may always capture. In a simulated world its file decides: set "
              "\"capturePermission\" to true there, then reopen the app.");
    EXPECT_TRUE(w->findChild<QPushButton*>("permission-open-settings")->isDefault());

    set(false);
    EXPECT_TRUE(open()) << "the change is handled on the next turn";
    advance(0);
    EXPECT_FALSE(window->window());
}

TEST_F(PermissionWindowTest, NotNowKeepsItAwayForTheRun) {
    window = watch();
    EXPECT_FALSE(window->window());
    set(true);
    advance(0);
    ASSERT_TRUE(open());
    click("permission-not-now");
    EXPECT_FALSE(window->window());
    set(false);
    advance(0);
    set(true);
    advance(0);
    EXPECT_FALSE(window->window());
    EXPECT_TRUE(window->shownThisLaunch());
}

TEST_F(PermissionWindowTest, QuickChangesEndInTheLastValue) {
    window = watch();
    set(true);
    set(false);
    set(true);
    advance(0);
    EXPECT_TRUE(open());
    set(false);
    set(true);
    set(false);
    advance(0);
    EXPECT_FALSE(window->window());
}

TEST_F(PermissionWindowTest, OpenPrivacySettingsClosesEvenThoughNothingOpens) {
    needed = true;
    window = watch();
    click("permission-open-settings");
    EXPECT_FALSE(window->window());
    EXPECT_EQ(logs.count("No settings page for the audio-capture permission can be opened on this system"), 1);
}

TEST_F(PermissionWindowTest, TheEnginesRefusedCaptureShowsTheWindowOnce) {
    // With a PHONES pair every playing application gets a tap.
    addOutputDevice("interface", 8);
    addApp(101, test::kPlayer);
    hardware.io().setCapturePermission(false);
    PermissionWindow engineWindow(engine(), themes);
    EXPECT_FALSE(engineWindow.window());
    startEngine();
    settle();
    ASSERT_TRUE(engine().needsAudioCapturePermission());
    ASSERT_TRUE(engineWindow.window());
    EXPECT_TRUE(engineWindow.window()->isVisible());
    // The engine's retries turn the flag off and on again; the window stays the one window.
    QWidget* first = engineWindow.window();
    advance(30);
    EXPECT_TRUE(engine().needsAudioCapturePermission());
    EXPECT_EQ(engineWindow.window(), first);
    EXPECT_TRUE(first->isVisible());
}

TEST_F(PermissionWindowTest, TheBannerReportsAndStays) {
    PermissionBanner banner(themes);
    EXPECT_EQ(banner.title(), "Audio access needed");
    EXPECT_EQ(banner.detail(), "Allow Quellor to record system audio in Privacy & Security.");
    EXPECT_EQ(banner.buttonTitle(), "Open");
    EXPECT_EQ(banner.tint(), warningYellow(ThemeMode::Booth));
    banner.show();
    QTest::mouseClick(banner.button(), Qt::LeftButton);
    EXPECT_TRUE(banner.isVisible());
    themes.choose(ThemeMode::Daylight);
    EXPECT_EQ(banner.tint(), warningYellow(ThemeMode::Daylight));
}

}  // namespace
