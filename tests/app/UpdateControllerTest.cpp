// When the update controller restarts into a staged update, what it asks, what it tells the user
// after a check, and the words of every update control.
#include <gtest/gtest.h>

#include "FakeUpdateBackend.h"
#include "TestEnvironment.h"
#include <QPushButton>
#include <QTest>

#include "app/UpdateBanner.h"
#include "app/UpdateController.h"
#include "ui/style/ThemeController.h"
#include "app/UpdateWording.h"
#include "platform/SimulatedHardware.h"
#include "platform/StreamConfiguration.h"

using namespace quellor;

namespace {

class UpdateControllerTest : public test::QuellorTest {
protected:
    UpdateControllerTest() {
        AudioHardware::install(&hardware);
        speakers = addDevice("speakers");
        interface = addDevice("interface");
        hardware.setDefaultOutputDevice(speakers);
        QObject::connect(&notifier, &AppNotifier::posted, [this](AppNotification n) {
            if (n == AppNotification::DismissSheets) ++dismissals;
        });
    }
    ~UpdateControllerTest() override {
        controller_.reset();
        scheduler().runPending();
        AudioHardware::install(nullptr);
    }
    AudioObjectID addDevice(const QString& uid) {
        SimulatedDevice device;
        device.uid = uid;
        device.name = uid;
        device.output.streams = StreamConfiguration{{2}};
        return hardware.addDevice(device);
    }
    void setRunning(AudioObjectID device, bool running) {
        hardware.setProperty(device, {hal::kDeviceIsRunningSomewhere}, std::uint32_t(running));
    }
    UpdateController& controller() {
        if (!controller_) controller_ = std::make_unique<UpdateController>(backend, host, notifier, defaults());
        return *controller_;
    }
    // Stages `version` and lets the posted work run.
    void stage(const QString& version) {
        controller();
        backend.stage(version);
        advance(0);
    }
    // Whether the controller has committed to restarting: quitting, sheets dismissed, and after the
    // relaunch delay the immediate install ran and the quit requests follow.
    bool restarted() {
        if (!controller().isQuittingForUpdate()) return false;
        EXPECT_EQ(dismissals, 1);
        const int installs = backend.installNowCalls;
        advance(UpdateController::kRelaunchDelay);
        EXPECT_EQ(backend.installNowCalls, installs + 1);
        advance(UpdateController::kRestartTerminateInterval * UpdateController::kRestartTerminateRequests);
        EXPECT_EQ(host.terminationRequests, UpdateController::kRestartTerminateRequests);
        return true;
    }

    SimulatedHardware hardware;
    AudioObjectID speakers = 0;
    AudioObjectID interface = 0;
    test::FakeUpdateBackend backend;
    test::FakeUpdateHost host;
    AppNotifier notifier;
    int dismissals = 0;
    std::unique_ptr<UpdateController> controller_;
};

TEST_F(UpdateControllerTest, StartsTheFrameworkWithAutomaticChecksAndDownloadsUnlessTheUserChose) {
    struct Case {
        std::optional<bool> stored;
        bool downloads;
    };
    for (const Case c : {Case{std::nullopt, true}, Case{false, false}, Case{true, false}}) {
        test::FakeUpdateBackend fresh;
        if (c.stored) defaults().setBool(UpdateController::kAutomaticDownloadsKey, *c.stored);
        else defaults().remove(UpdateController::kAutomaticDownloadsKey);
        UpdateController updater(fresh, host, notifier, defaults());
        EXPECT_EQ(fresh.automaticChecks, true);
        // A stored choice is the framework's to read; the controller only fills in a missing one.
        EXPECT_EQ(fresh.automaticDownloads, c.downloads);
        EXPECT_EQ(fresh.starts, 1);
        EXPECT_NE(fresh.delegate, nullptr);
    }
    EXPECT_TRUE(logs.records("updates").empty()) << "a framework that cannot start is not reported";
}

TEST_F(UpdateControllerTest, InTheBackgroundWithTheOutputIdleItRestartsAtOnceWithoutAWord) {
    setRunning(speakers, false);
    const std::size_t listenersBefore = hardware.listenerCount();
    stage("2.1");
    EXPECT_TRUE(host.alerts.empty());
    EXPECT_EQ(controller().stagedVersion(), "2.1");
    EXPECT_EQ(hardware.listenerCount(), listenersBefore) << "no watcher for a restart already made";
    EXPECT_TRUE(restarted());
    EXPECT_TRUE(logs.contains("updates", LogLevel::Info, "update staged: 2.1"));
}

TEST_F(UpdateControllerTest, InTheBackgroundWhilePlayingItWaitsForTheFirstQuietMoment) {
    // Each way a silent restart becomes possible, and the user's own restart.
    enum class Trigger { OutputStops, DefaultChangesToIdle, RetryFindsIdle, UserRestarts };
    for (Trigger trigger : {Trigger::OutputStops, Trigger::DefaultChangesToIdle, Trigger::RetryFindsIdle, Trigger::UserRestarts}) {
        SCOPED_TRACE(int(trigger));
        controller_.reset();
        dismissals = 0;
        backend.installNowCalls = 0;
        host.terminationRequests = 0;
        hardware.clearFaults();
        hardware.setDefaultOutputDevice(speakers);
        setRunning(speakers, true);
        setRunning(interface, trigger == Trigger::DefaultChangesToIdle ? false : true);
        stage("2.1");
        advance(10);
        EXPECT_FALSE(controller().isQuittingForUpdate());
        EXPECT_TRUE(host.alerts.empty()) << "nobody is asked in the background";
        switch (trigger) {
        case Trigger::OutputStops:
            setRunning(speakers, false);
            break;
        case Trigger::DefaultChangesToIdle:
            hardware.setDefaultOutputDevice(interface);
            break;
        case Trigger::RetryFindsIdle:
            // The device goes quiet without telling anyone; only the retry notices.
            hardware.succeedWithoutWriting({SimulatedHardware::Call::Data, speakers, hal::kDeviceIsRunningSomewhere, hal::kScopeGlobal}, true);
            advance(4.5);
            EXPECT_FALSE(controller().isQuittingForUpdate());
            advance(0.6);
            break;
        case Trigger::UserRestarts:
            host.active = true;  // even in front, even while playing
            controller().checkForUpdates();
            break;
        }
        advance(0);
        EXPECT_TRUE(restarted());
        EXPECT_TRUE(host.alerts.empty());
    }
}

TEST_F(UpdateControllerTest, InFrontItAsksOncePerVersion) {
    setRunning(speakers, false);
    host.active = true;
    stage("2.1");
    ASSERT_EQ(host.messages(), QStringList{"Quellor 2.1 is ready"});
    EXPECT_EQ(host.alerts[0].alert.informativeText,
              "Restart now to finish updating, or restart later. The update also installs when you quit Quellor.");
    EXPECT_EQ(host.alerts[0].alert.buttons, (QStringList{"Restart Now", "Restart Later"}));
    EXPECT_FALSE(controller().isQuittingForUpdate());
    // The same version staged again asks nothing.
    backend.stage("2.1");
    advance(0);
    EXPECT_EQ(host.alerts.size(), 1u);

    host.alerts[0].answer(0);
    EXPECT_TRUE(restarted());
}

TEST_F(UpdateControllerTest, WhileHeldAStagedUpdateNeitherRestartsNorAsksUntilTheRelease) {
    // Staged while held, in the background (as at start) or in front: the release asks, once.
    for (bool activeWhenStaged : {false, true}) {
        SCOPED_TRACE(activeWhenStaged ? "in front" : "in the background");
        controller_.reset();
        host.alerts.clear();
        setRunning(speakers, false);
        host.active = activeWhenStaged;
        controller().holdRestart();
        stage("2.1");
        advance(UpdateController::kRetryInterval * 2);
        EXPECT_FALSE(controller().isQuittingForUpdate()) << "the output is idle, but the restart is held";
        EXPECT_TRUE(host.alerts.empty());
        host.active = true;
        controller().releaseRestart();
        ASSERT_EQ(host.messages(), QStringList{"Quellor 2.1 is ready"});
        controller().releaseRestart();
        EXPECT_EQ(host.alerts.size(), 1u);
    }
    // Released in the background with the output idle: the restart that was held happens.
    controller_.reset();
    host.alerts.clear();
    host.active = false;
    controller().holdRestart();
    stage("2.2");
    controller().releaseRestart();
    EXPECT_TRUE(host.alerts.empty());
    EXPECT_TRUE(restarted());
}

TEST_F(UpdateControllerTest, AfterRestartLaterOnlyTheUserRestarts) {
    setRunning(speakers, true);
    host.active = true;
    stage("2.1");
    ASSERT_EQ(host.alerts.size(), 1u);
    host.alerts[0].answer(1);
    host.resignActive();
    setRunning(speakers, false);
    advance(UpdateController::kRetryInterval * 3);
    EXPECT_FALSE(controller().isQuittingForUpdate());
    EXPECT_EQ(controller().menuTitle(), "Restart to Update to 2.1");
    controller().checkForUpdates();
    EXPECT_TRUE(restarted());
}

TEST_F(UpdateControllerTest, LeavingTheApplicationRestartsWhenTheOutputIsIdle) {
    setRunning(speakers, false);
    host.active = true;
    stage("2.1");
    ASSERT_EQ(host.alerts.size(), 1u);  // unanswered
    host.resignActive();
    advance(0);
    EXPECT_TRUE(restarted());
}

TEST_F(UpdateControllerTest, AUserCheckReportsInItsOwnAlertsOnlyWithAutomaticDownloads) {
    controller();
    backend.automaticDownloads = true;
    controller().checkForUpdates();
    EXPECT_EQ(backend.calls, QStringList{"background check"});
    backend.delegate->updaterDidNotFindUpdate();
    backend.delegate->updaterDidAbort({kUpdateErrorDomain, kUpdateNoUpdateError, "none"});
    ASSERT_EQ(host.messages(), QStringList{"Quellor is up to date"});
    EXPECT_EQ(host.alerts[0].alert.informativeText, "You have the newest version.");
    EXPECT_EQ(host.alerts[0].alert.buttons, QStringList{"OK"});

    controller().checkForUpdates();
    backend.delegate->updaterDidFindValidUpdate("2.1");
    EXPECT_EQ(host.messages().last(), "Quellor 2.1 is downloading");
    EXPECT_EQ(host.alerts.back().alert.informativeText, "You will be asked when it is ready to install.");
    EXPECT_EQ(controller().availableVersion(), "2.1");
    // Later reports of scheduled checks say nothing.
    backend.delegate->updaterDidFindValidUpdate("2.1");
    backend.delegate->updaterDidNotFindUpdate();
    EXPECT_EQ(host.alerts.size(), 2u);
    EXPECT_EQ(controller().availableVersion(), std::nullopt);

    // Without automatic downloads the framework's own windows take over.
    backend.automaticDownloads = false;
    controller().checkForUpdates();
    EXPECT_EQ(backend.calls.last(), "interactive check");
    backend.delegate->userDriverWillShowUpdate("2.2");
    EXPECT_EQ(controller().availableVersion(), "2.2");
    EXPECT_EQ(host.alerts.size(), 2u);
}

TEST_F(UpdateControllerTest, AFailedUserCheckStaysQuietAndTheNextReportIsShownOnce) {
    controller();
    backend.automaticDownloads = true;
    controller().checkForUpdates();
    backend.delegate->updaterDidAbort({kUpdateErrorDomain, kUpdateFeedError, "The update feed cannot be read"});
    EXPECT_TRUE(host.alerts.empty());
    EXPECT_TRUE(logs.contains("updates", LogLevel::Error, "update cycle failed: The update feed cannot be read"));
    backend.delegate->updaterDidFindValidUpdate("2.1");
    backend.delegate->updaterDidFindValidUpdate("2.1");
    EXPECT_EQ(host.messages(), QStringList{"Quellor 2.1 is downloading"});
}

TEST_F(UpdateControllerTest, OrdinaryEndingsOfACycleAreNotLogged) {
    struct Case {
        QString domain;
        int code;
        bool logged;
    };
    controller();
    for (const Case& c : {Case{kUpdateErrorDomain, kUpdateNoUpdateError, false},
                          Case{kUpdateErrorDomain, kUpdateInstallationCanceled, false},
                          Case{kUpdateErrorDomain, kUpdateInstallationAuthorizeLater, false},
                          Case{kUpdateErrorDomain, kUpdateDownloadError, true},
                          Case{"elsewhere", kUpdateNoUpdateError, true}}) {
        logs.clear();
        backend.delegate->updaterDidAbort({c.domain, c.code, "what went wrong"});
        EXPECT_EQ(logs.contains("updates", LogLevel::Error, "update cycle failed: what went wrong"), c.logged)
            << c.domain.toStdString() << " " << c.code;
    }
}

TEST_F(UpdateControllerTest, WhenTheFrameworkInstallsItQuitsAndEndsEverySheet) {
    for (bool relaunch : {false, true}) {
        controller_.reset();
        dismissals = 0;
        host.terminationRequests = 0;
        host.sheetsEnded = 0;
        controller();
        if (relaunch) backend.delegate->updaterWillRelaunchApplication();
        else backend.delegate->updaterWillInstallUpdate();
        EXPECT_TRUE(controller().isQuittingForUpdate());
        EXPECT_EQ(dismissals, 1);
        EXPECT_EQ(host.sheetsEnded, 1);
        advance(UpdateController::kInstallTerminateInterval * UpdateController::kInstallTerminateRequests);
        EXPECT_EQ(host.terminationRequests, UpdateController::kInstallTerminateRequests);
    }
}

TEST_F(UpdateControllerTest, TheBannerTurnsToRestartWhenStagedAndRestartsWithoutAQuestion) {
    ThemeController themes(defaults());
    setRunning(speakers, true);
    host.active = true;
    backend.automaticDownloads = true;
    UpdateBanner banner(controller(), themes, "2.1");
    EXPECT_EQ(banner.title(), "Quellor 2.1 is available");
    EXPECT_EQ(banner.buttonTitle(), "Update");
    QTest::mouseClick(banner.button(), Qt::LeftButton);
    EXPECT_EQ(backend.calls, QStringList{"background check"});

    stage("2.1");
    host.alerts[0].answer(1);  // "Restart Later"
    EXPECT_EQ(banner.title(), "Quellor 2.1 is ready to install");
    EXPECT_EQ(banner.buttonTitle(), "Restart");
    QTest::mouseClick(banner.button(), Qt::LeftButton);
    EXPECT_EQ(host.alerts.size(), 1u);
    EXPECT_TRUE(restarted());
}

TEST(UpdateWording, TitlesFollowTheVersionsAndAStagedVersionWins) {
    using V = std::optional<QString>;
    struct Case {
        V staged, available;
        QString menu;
        V startup, banner;
    };
    const Case cases[] = {
        {{}, {}, "Check for Updates…", {}, {}},
        {{}, "3.1", "Update to 3.1…", "Update to 3.1…", "3.1"},
        {"3.0", {}, "Restart to Update to 3.0", {}, "3.0"},
        {"3.0", "3.1", "Restart to Update to 3.0", "Update to 3.1…", "3.0"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(updateMenuTitle(c.staged, c.available), c.menu);
        EXPECT_EQ(startupUpdateTitle(c.available), c.startup);
        EXPECT_EQ(updateBannerVersion(c.staged, c.available), c.banner);
    }
    EXPECT_EQ(updateBannerWording("2.1", false), (UpdateBannerWording{"Quellor 2.1 is available", "Update"}));
    EXPECT_EQ(updateBannerWording("2.1", true), (UpdateBannerWording{"Quellor 2.1 is ready to install", "Restart"}));
}

}  // namespace
