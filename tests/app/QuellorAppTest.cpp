// The start-up order of the application, its single-instance rule and its quit.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QDir>
#include <QFileInfo>
#include <QMainWindow>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "EngineFixture.h"
#include "FakeUpdateBackend.h"
#include "app/PermissionWindow.h"
#include "app/StartupScreenController.h"
#include "app/UpdateController.h"
#include "app/MainWindowController.h"
#include "app/MainWindowView.h"
#include "app/QuellorApp.h"
#include "app/RemoteServices.h"
#include "app/SingleInstance.h"
#include "platform/FakeMIDIService.h"
#include "recording/MixRecorder.h"
#include "remote/OSCListener.h"
#include "remote/OSCMessage.h"
#include "base/JsonDefaults.h"
#include "engine/ConsoleSlots.h"
#include "engine/VolumeStore.h"
#include "setups/MixSessionStore.h"
#include "setups/SessionManager.h"
#include "ui/settings/SettingsWindow.h"
#include "ui/style/PromptSheet.h"
#include "ui/style/ThemeController.h"

using namespace quellor;

class QuellorAppTest : public test::EngineFixture {
protected:
    std::unique_ptr<QuellorApp> make(UpdateBackend* updates = nullptr, UserDefaults* settings = nullptr) {
        return std::make_unique<QuellorApp>(QuellorApp::Services{
            settings ? *settings : defaults(), MixerEngine::Platform{running, bluetooth, [](std::function<void()> job) { job(); }, &remote}, recorder,
            dir.filePath("sessions.json"), dir.path(), nullptr, updates, dir.filePath("autostart/quellor.desktop")});
    }
    QTemporaryDir dir;
    MixRecorder recorder;
};

TEST_F(QuellorAppTest, TheThemeComesFirstAndTheEngineStartsOnlyAfterTheStartUpReturns) {
    addOutputDevice("speakers", 2);
    addApp(101, test::kPlayer);
    defaults().setString("theme", "daylight");
    auto app = make();
    ASSERT_TRUE(app->claimSingleInstance());
    EXPECT_EQ(app->themes().current(), ThemeMode::Daylight);
    app->build();
    EXPECT_FALSE(app->engine().isStarted());
    EXPECT_TRUE(defaults().boolOr("menuBarPriorityV3", false));
    EXPECT_EQ(app->sessions().sessions().size(), 1u);
    advance(0);
    EXPECT_TRUE(app->engine().isStarted());
    settle();

    // The engine's mix changes reach the current setup while the setup manager lives.
    app->engine().setSlot(test::kPlayer, 0);
    settle();
    EXPECT_EQ(app->sessions().currentSession()->stripSlots.value(0), test::kPlayer);
}

TEST_F(QuellorAppTest, WithTheSettingsFileDamagedNoMixButTheUsersReachesTheCurrentSetup) {
    addOutputDevice("speakers", 2);
    addApp(101, test::kPlayer);
    // The user's mix, in the current setup and (as the last save left them) in the settings.
    const AppVolumeMap volumes{{test::kPlayer, AppVolume{0.3f, true, {}, false, 0.7f}}};
    QStringList strips = defaultConsoleSlots();
    strips[2] = test::kPlayer;
    const StripStyleMap styles{{test::kPlayer, StripStyle{"Music", 3, std::nullopt}}};
    MixSession setup;
    setup.name = "Live";
    setup.createdAt = setup.modifiedAt = QDateTime::currentDateTimeUtc();
    setup.volumes = volumes;
    setup.stripSlots = strips;
    setup.styles = styles;
    const QByteArray usersSettings = [&] {
        QTemporaryDir scratch;
        UserDefaults settings(scratch.filePath("defaults.json"));
        VolumeStore(settings).save(volumes);
        settings.setStringArray("consoleSlots", strips);
        JsonDefaults::save(styles, "stripStyles", settings);
        settings.setInteger("oscPort", 9100);
        settings.flush();
        return MixSessionStore::readAll(scratch.filePath("defaults.json")).value_or("");
    }();

    struct Case {
        const char* name;
        QByteArray backup;  // empty: none
        bool lost;
    };
    // The main file stands in a directory's place: unreadable even to root, who runs the tests.
    const Case cases[] = {{"the backup reads", usersSettings, false},
                          {"the backup is damaged too", "[", true},
                          {"there is no backup", "", true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir folder;
        const QString settingsPath = folder.filePath("defaults.json"), setupsPath = dir.filePath("sessions.json");
        QFile::remove(setupsPath);
        QFile::remove(setupsPath + ".bak");
        ASSERT_TRUE(MixSessionStore(setupsPath).save(MixSessionFile{setup.id, {setup}}));
        ASSERT_TRUE(QDir().mkdir(settingsPath));
        if (!c.backup.isEmpty()) {
            ASSERT_TRUE(writeFileAtomically(settingsPath + ".bak", c.backup));
        }
        UserDefaults settings(settingsPath);
        ASSERT_EQ(settings.storedValuesLost(), c.lost);
        EXPECT_EQ(settings.integerValue("oscPort"), c.lost ? std::nullopt : std::optional<qint64>(9100));
        {
            auto app = make(nullptr, &settings);
            ASSERT_TRUE(app->claimSingleInstance());
            app->build();
            advance(0);
            settle();
            MixerEngine& engine = app->engine();
            EXPECT_EQ(engine.volumes(), volumes);
            EXPECT_EQ(engine.consoleSlots(), strips);
            EXPECT_EQ(engine.stripStyles(), styles);
            ProcessTap* player = engine.taps().find(test::kPlayer);
            ASSERT_NE(player, nullptr) << "the player plays at its setup's level";
            EXPECT_TRUE(player->isMuted());
            // The settings hold the mix again.
            EXPECT_EQ(VolumeStore(settings).load(), volumes);
            EXPECT_EQ(settings.stringArrayValue("consoleSlots"), strips);

            // The next mix change keeps the user's mix in the setup, and the file holds it.
            engine.setSlot("system_input", 5);
            advance(1);
            app->shutdown();
        }
        const auto file = MixSessionStore(setupsPath).load().file;
        ASSERT_TRUE(file && file->sessions.size() == 1u);
        const MixSession& saved = file->sessions.front();
        EXPECT_EQ(saved.volumes, volumes);
        EXPECT_EQ(saved.stripSlots.value(2), test::kPlayer);
        EXPECT_EQ(saved.stripSlots.value(5), "system_input");
        EXPECT_EQ(saved.styles, std::optional<StripStyleMap>(styles));
        for (const QString& f : {setupsPath, setupsPath + ".bak"}) {
            const auto decoded = json::decode<MixSessionFile>(MixSessionStore::readAll(f).value_or(""));
            ASSERT_TRUE(decoded.has_value()) << f.toStdString();
            EXPECT_EQ(decoded->sessions.front().volumes, volumes) << f.toStdString();
        }
    }
}

TEST_F(QuellorAppTest, RemoteInputReachesTheEngineOnlyOnceItHasStarted) {
    FakeMIDIService midi;
    MIDIService::install(&midi);
    defaults().setBool("oscEnabled", false);
    {
        RemoteServices services(QHostAddress::LocalHost);
        QuellorApp app(QuellorApp::Services{
            defaults(), MixerEngine::Platform{running, bluetooth, [](std::function<void()> job) { job(); }, &services},
            recorder, dir.filePath("sessions.json"), dir.path(), &services, nullptr, dir.filePath("autostart/quellor.desktop")});
        ASSERT_TRUE(app.claimSingleInstance());
        app.build();
        const NetworkEndpoint sender(QHostAddress::LocalHost, 50000);
        services.oscListener().route(OSCMessage{"/panic", 1.0f}, sender);
        EXPECT_FALSE(app.engine().isPanicked()) << "nothing reaches an engine that has not started";
        advance(0);
        ASSERT_TRUE(app.engine().isStarted());
        services.oscListener().route(OSCMessage{"/panic", 1.0f}, sender);
        EXPECT_TRUE(app.engine().isPanicked());
    }
    MIDIService::install(nullptr);
}

TEST_F(QuellorAppTest, ASecondCopyAsksTheFirstToShowItsWindowAndBuildsNothing) {
    auto first = make();
    ASSERT_TRUE(first->claimSingleInstance());
    first->build();
    EXPECT_FALSE(first->mainWindow().window());
    auto second = make();
    EXPECT_FALSE(second->claimSingleInstance());
    ASSERT_TRUE(second->instance().other());
    EXPECT_EQ(second->instance().other()->pid, QCoreApplication::applicationPid());
    EXPECT_EQ(second->instance().other()->executablePath, QFileInfo("/proc/self/exe").symLinkTarget());
    QSignalSpy shown(&first->instance(), &SingleInstance::showRequested);
    ASSERT_TRUE(shown.wait(5000));
    ASSERT_TRUE(first->mainWindow().window());
    EXPECT_TRUE(first->mainWindow().window()->isVisible());
    EXPECT_EQ(SingleInstance::informativeText(std::nullopt), "Another copy is running from another location.");
    EXPECT_EQ(SingleInstance::informativeText(QString("/opt/quellor/quellor")), "Another copy is running from /opt/quellor/quellor.");
}

TEST_F(QuellorAppTest, ALockFileLeftByAProcessThatIsGoneIsTakenOver) {
    // What a killed copy leaves: the file with its process id, and a socket nobody listens on.
    SingleInstance probe(dir.path());
    QFile lock(probe.lockPath());
    ASSERT_TRUE(lock.open(QIODevice::WriteOnly));
    lock.write("999999\n");
    lock.close();
    QFile socket(probe.socketPath());
    ASSERT_TRUE(socket.open(QIODevice::WriteOnly));
    socket.close();
    auto app = make();
    EXPECT_TRUE(app->claimSingleInstance());
    // ...and this copy is found by the next launch.
    SingleInstance next(dir.path());
    EXPECT_FALSE(next.acquire());
    ASSERT_TRUE(next.other());
    EXPECT_EQ(next.other()->pid, QCoreApplication::applicationPid());
}

TEST_F(QuellorAppTest, NewSetupWithTheWindowClosedShowsItAndThePrompt) {
    auto app = make();
    ASSERT_TRUE(app->claimSingleInstance());
    app->build();
    app->postAfterShowingMainWindow(AppNotification::NewSetup);
    ASSERT_TRUE(app->mainWindow().window());
    EXPECT_TRUE(app->mainWindow().window()->isVisible());
    ASSERT_TRUE(app->mainWindowView());
    EXPECT_TRUE(app->mainWindowView()->promptSheet()->isVisible());
    EXPECT_EQ(app->mainWindowView()->promptSheet()->title(), "New setup");
    app->mainWindow().window()->close();
    app->postAfterShowingMainWindow(AppNotification::ShowSettings);
    EXPECT_TRUE(app->mainWindow().window()->isVisible());
    EXPECT_TRUE(app->mainWindowView()->settingsSheet()->isVisible());
}

TEST_F(QuellorAppTest, ShutdownRunsOnce) {
    addOutputDevice("speakers", 2);
    addApp(101, test::kPlayer);
    auto quellor = make();
    ASSERT_TRUE(quellor->claimSingleInstance());
    quellor->build();
    quellor->engine().setBlockingWait([this](double seconds) { waits.push_back(seconds); });
    advance(0);
    settle();
    AudioApp player;
    for (const AudioApp& a : quellor->engine().processMonitor().apps())
        if (a.bundleID == test::kPlayer) player = a;
    ASSERT_EQ(player.bundleID, test::kPlayer);
    quellor->engine().setVolume(0.5f, player);
    quellor->shutdown();
    quellor->shutdown();
    EXPECT_EQ(waits.size(), 1u);  // the one ramp to full level before the taps go
}

TEST_F(QuellorAppTest, TheStartupScreenGreetsShortlyAfterStartAndOpensTheMainWindow) {
    auto app = make();
    ASSERT_TRUE(app->claimSingleInstance());
    app->build();
    advance(QuellorApp::kStartupScreenDelay / 2);
    EXPECT_FALSE(app->startupScreen().window());
    EXPECT_FALSE(app->mainWindow().window());
    advance(QuellorApp::kStartupScreenDelay / 2);
    StartupScreenView* screen = app->startupScreen().window();
    ASSERT_TRUE(screen);
    EXPECT_TRUE(screen->isVisible());
    EXPECT_FALSE(screen->layout().rect(startup::Element::Update));
    EXPECT_FALSE(app->mainWindow().window()) << "the main window opens from the startup screen";
    QTest::mouseClick(screen, Qt::LeftButton, {}, screen->layout().rect(startup::Element::Row, 0)->center());
    EXPECT_FALSE(app->startupScreen().window());
    ASSERT_TRUE(app->mainWindow().window());
    EXPECT_TRUE(app->mainWindow().window()->isVisible());
}

TEST_F(QuellorAppTest, AKnownUpdateGivesTheStartupScreenItsButton) {
    test::FakeUpdateBackend backend;
    auto app = make(&backend);
    ASSERT_TRUE(app->claimSingleInstance());
    app->build();
    backend.delegate->updaterDidFindValidUpdate("2.1");
    advance(QuellorApp::kStartupScreenDelay);
    ASSERT_TRUE(app->startupScreen().window());
    EXPECT_EQ(app->startupScreen().window()->model().updateButtonTitle, "⟳ Update to 2.1…");
}

TEST_F(QuellorAppTest, QuittingForAnUpdateSkipsTheEngineShutdown) {
    addOutputDevice("speakers", 2);
    addApp(101, test::kPlayer);
    test::FakeUpdateBackend backend;
    auto quellor = make(&backend);
    ASSERT_TRUE(quellor->claimSingleInstance());
    quellor->build();
    quellor->engine().setBlockingWait([this](double seconds) { waits.push_back(seconds); });
    advance(0);
    settle();
    for (const AudioApp& a : quellor->engine().processMonitor().apps())
        if (a.bundleID == test::kPlayer) quellor->engine().setVolume(0.5f, a);
    // A mix change just before the quit, its save still waiting.
    quellor->engine().setSlot(test::kPlayer, 0);
    backend.delegate->updaterWillInstallUpdate();
    EXPECT_TRUE(quellor->updater().isQuittingForUpdate());
    quellor->shutdown();
    EXPECT_TRUE(waits.empty()) << "the taps are left as they are for the installer";
    const auto stored = MixSessionStore(dir.filePath("sessions.json")).load();
    ASSERT_TRUE(stored.file);
    EXPECT_EQ(stored.file->sessions.at(0).stripSlots.value(0), test::kPlayer) << "the setups are written on every quit";
}

TEST_F(QuellorAppTest, ThePermissionWindowWatchesTheEngineFromTheStart) {
    // With a PHONES pair every playing application gets a tap.
    addOutputDevice("interface", 8);
    addApp(101, test::kPlayer);
    hardware.io().setCapturePermission(false);
    auto app = make();
    ASSERT_TRUE(app->claimSingleInstance());
    app->build();
    EXPECT_FALSE(app->permissionWindow().window());
    advance(0);
    settle();
    ASSERT_TRUE(app->permissionWindow().window());
    EXPECT_TRUE(app->permissionWindow().window()->isVisible());
}

TEST_F(QuellorAppTest, TheTopBarsSettingsButtonOpensThePanelWithItsEnginePages) {
    auto app = make();
    ASSERT_TRUE(app->claimSingleInstance());
    app->build();
    app->mainWindow().show();
    MainWindowView* view = app->mainWindowView();
    ASSERT_TRUE(view);
    auto* button = view->findChild<QAbstractButton*>("console-settings");
    ASSERT_TRUE(button);
    button->click();
    SettingsWindow* settings = view->settingsWindow();
    EXPECT_TRUE(settings->isVisible());
    EXPECT_EQ(settings->currentTab(), SettingsTab::General);
    EXPECT_EQ(settings->page(SettingsTab::General)->objectName(), "settings-general");
    EXPECT_EQ(settings->page(SettingsTab::Audio)->objectName(), "settings-audio");
    EXPECT_EQ(settings->page(SettingsTab::IPhone)->objectName(), "settings-companion");
    QTest::keyClick(settings, Qt::Key_Escape);
    EXPECT_FALSE(settings->isVisible());
    EXPECT_FALSE(view->sheets().showSettings);
}
