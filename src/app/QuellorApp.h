#pragma once
// The one place where the long-lived objects of the application are created and wired, in a fixed
// order: the theme is chosen before anything paints, the single-instance rule runs before any
// audio object exists, the engine exists before everything that takes it, and it starts only from
// a posted task, after the start-up has returned.
//
// Quit: whatever asks for it (the Quit item, SIGTERM, SIGINT, SIGHUP), the engine shuts down
// exactly once, unless the application quits to install an update. Closing the last window does
// not quit.
//
// Threads: main thread only.
#include <QObject>
#include <QString>
#include <memory>

#include "app/AppNotifier.h"
#include "base/Scheduler.h"
#include "base/UserDefaults.h"
#include "engine/MixerEngine.h"

namespace quellor {

class AppActions;
class EngineRemoteControl;
class LatestRecordingModel;
class LaunchAtLogin;
class LocalFeedUpdater;
class MainWindowController;
class MainWindowView;
class MIDIMappingManager;
class PermissionWindow;
class RemoteServices;
class StartupScreenController;
class UpdateBackend;
class UpdateHost;
class MixRecorder;
class MixerEngineSessionEngine;
class RecordingStatusItem;
class RecordingTray;
class SessionManager;
class UserNotices;
class SingleInstance;
class ThemeController;
class UpdateController;

}  // namespace quellor

class QMenuBar;
class QWidget;

namespace quellor {

class QuellorApp : public QObject {
    Q_OBJECT
public:
    struct Services {
        UserDefaults& defaults;
        MixerEngine::Platform enginePlatform;
        MixRecorder& recorder;
        QString setupsPath;      // the setups file
        QString instanceFolder = {};  // holds the single-instance lock; empty for the standard one
        // The remote-control side, wired to the engine once it has started; its MIDI mappings are
        // counted in the diagnostics. None: no remote input reaches the engine.
        RemoteServices* remote = nullptr;
        // The update framework; none: the local update feed of the user defaults.
        UpdateBackend* updateBackend = nullptr;
        QString launchAtLoginEntry = {};  // the autostart entry; empty for the standard one
        // The single-instance rule, when the caller claimed it already (before building anything
        // that a second copy must not build); none: claimSingleInstance() claims it.
        std::unique_ptr<SingleInstance> claimedInstance = {};
    };

    // Seconds from the start-up to the startup screen.
    static constexpr double kStartupScreenDelay = 0.8;

    explicit QuellorApp(Services services, QObject* parent = nullptr);
    ~QuellorApp() override;

    // The first steps of the start-up: the theme, then the single-instance rule (taken over when the
    // caller claimed it already). False for a second copy: nothing but the theme was made, and the
    // running copy was asked to show its window; the caller tells the user and exits.
    bool claimSingleInstance();
    // The rest of the start-up, once the platform is up: the engine (started by a posted task), the
    // update controller, the application actions, the setups, the main window's controller and
    // menus, the startup screen (shown kStartupScreenDelay later) and the permission window.
    void build();

    // The engine's shutdown, run at most once (quit calls it; so may a test); skipped when quitting
    // to install an update. A staged update is handed to its installer here.
    void shutdown();

    ThemeController& themes() { return *themes_; }
    SingleInstance& instance() { return *instance_; }
    MixerEngine& engine() { return *engine_; }
    SessionManager& sessions() { return *sessions_; }
    MainWindowController& mainWindow() { return *mainWindow_; }
    AppNotifier& notifier() { return *notifier_; }
    UpdateController& updater() { return *updater_; }
    AppActions& actions() { return *actions_; }
    StartupScreenController& startupScreen() { return *startup_; }
    PermissionWindow& permissionWindow() { return *permissionWindow_; }
    MainWindowView* mainWindowView() const { return view_; }
    LatestRecordingModel& recordings() { return *recordings_; }
    UserNotices& userNotices() { return *userNotices_; }

    // Shows the main window, then posts the request (the menu commands that need the window).
    void postAfterShowingMainWindow(AppNotification notification);

private:
    void installMenus(QMenuBar& bar);
    // The device page (the mixer view in its devices mode), with the shell's banners.
    QWidget* makeMixerView(MIDIMappingManager& mappings);
    // The settings panel's pages that work on the engine: Devices, Audio and iOS.
    void installSettingsPages();
    void presentStartupScreen();
    // The console's top bar with its cards.
    QWidget* consoleTopBar();
    // The mix the engine starts from in place of the stored one, when the settings were lost.
    std::optional<MixerEngine::StartingMix> startingMix() const;

    Services services_;
    std::unique_ptr<ThemeController> themes_;
    std::unique_ptr<SingleInstance> instance_;
    std::unique_ptr<RecordingStatusItem> recordingIndicator_;
    std::unique_ptr<AppNotifier> notifier_;
    std::unique_ptr<MixerEngine> engine_;
    std::unique_ptr<EngineRemoteControl> remoteControl_;  // goes before the engine it drives
    std::unique_ptr<UpdateHost> updateHost_;
    std::unique_ptr<LocalFeedUpdater> feedUpdater_;
    std::unique_ptr<UpdateController> updater_;
    std::unique_ptr<LaunchAtLogin> launchAtLogin_;
    std::unique_ptr<AppActions> actions_;
    std::unique_ptr<MixerEngineSessionEngine> sessionEngine_;
    std::unique_ptr<SessionManager> sessions_;
    std::unique_ptr<LatestRecordingModel> recordings_;
    std::unique_ptr<UserNotices> userNotices_;
    std::unique_ptr<MainWindowController> mainWindow_;
    std::unique_ptr<StartupScreenController> startup_;
    std::unique_ptr<PermissionWindow> permissionWindow_;
    // Shows the recording item in the desktop's tray; goes before the engine and recordings it reads.
    std::unique_ptr<RecordingTray> recordingTray_;
    TaskSlot startupScreenTask_;
    MainWindowView* view_ = nullptr;
    bool shutDown_ = false;
};

}  // namespace quellor
