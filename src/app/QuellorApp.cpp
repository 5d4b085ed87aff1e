#include "app/QuellorApp.h"

#include <QApplication>
#include <QMainWindow>
#include <QMenuBar>
#include <QPointer>
#include <QShortcut>

#include "app/AppActions.h"
#include "app/AppMenus.h"
#include "app/AppNotifier.h"
#include "app/AppVersion.h"
#include "app/EngineRemoteControl.h"
#include "app/MainWindowController.h"
#include "app/MainWindowView.h"
#include "app/UserNotices.h"
#include "app/MenuBarExportCard.h"
#include "app/PermissionBanner.h"
#include "app/PermissionWindow.h"
#include "app/RecordingStatusItem.h"
#include "app/RecordingTray.h"
#include "app/RemoteServices.h"
#include "app/SetupFilePanels.h"
#include "app/SingleInstance.h"
#include "app/SourcesColumn.h"
#include "app/StatusBanners.h"
#include "app/StartupScreenController.h"
#include "app/QtUpdateHost.h"
#include "app/UpdateBanner.h"
#include "app/UpdateController.h"
#include "app/UpdateWording.h"
#include "base/Scheduler.h"
#include "platform/LaunchAtLogin.h"
#include "platform/LocalFeedUpdater.h"
#include "remote/MIDIMappingManager.h"
#include "recording/MixRecorder.h"
#include "setups/MixSessionStore.h"
#include "setups/MixerEngineSessionEngine.h"
#include "setups/SessionManager.h"
#include "ui/console/ConsolePane.h"
#include "ui/console/ConsoleTopBarWidget.h"
#include "ui/panels/DevicesPageView.h"
#include "ui/settings/AudioSettingsView.h"
#include "ui/settings/CompanionSettingsView.h"
#include "ui/settings/SettingsWindow.h"
#include "ui/settings/LatestRecordingModel.h"
#include "ui/settings/MainRecordingCardWidget.h"
#include "ui/settings/MeterCard.h"
#include "ui/settings/RecCardWidget.h"
#include "ui/settings/StripCountCard.h"
#include "ui/panels/SourceGridView.h"
#include "ui/style/AppIcon.h"
#include "ui/style/Fonts.h"
#include "ui/style/ThemeController.h"

namespace quellor {

QuellorApp::QuellorApp(Services services, QObject* parent) : QObject(parent), services_(std::move(services)) {}

QuellorApp::~QuellorApp() {
    // Windows go before the objects they show; the setups and the remote wiring before the engine
    // they drive.
    recordingTray_.reset();
    permissionWindow_.reset();
    startup_.reset();
    mainWindow_.reset();
    userNotices_.reset();
    recordings_.reset();
    sessions_.reset();
    sessionEngine_.reset();
    remoteControl_.reset();
    engine_.reset();
}

bool QuellorApp::claimSingleInstance() {
    recordingIndicator_ = std::make_unique<RecordingStatusItem>();
    // The type and the theme are in force before anything exists that could paint.
    installApplicationFont();
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance())) QGuiApplication::setWindowIcon(appIcon());
    themes_ = std::make_unique<ThemeController>(services_.defaults);
    instance_ = services_.claimedInstance ? std::move(services_.claimedInstance)
                                          : std::make_unique<SingleInstance>(services_.instanceFolder);
    return instance_->acquire();
}

void QuellorApp::build() {
    UserDefaults& defaults = services_.defaults;
    seedStatusItemPositions(defaults);
    notifier_ = std::make_unique<AppNotifier>();
    engine_ = std::make_unique<MixerEngine>(services_.enginePlatform, defaults);
    engine_->setRecorder(&services_.recorder);
    updateHost_ = std::make_unique<QtUpdateHost>();
    UpdateBackend* updates = services_.updateBackend;
    if (!updates) {
        // The update framework's own windows, for a check the user starts without automatic
        // downloads.
        LocalFeedUpdater::Windows windows{
            [host = updateHost_.get()](const QString& version, std::function<void(bool)> reply) {
                host->presentAlert({QStringLiteral("A new version of Quellor is available"),
                                    QStringLiteral("Quellor %1 is available; you have %2. Quellor quits to install it "
                                                   "and opens again.")
                                        .arg(version, appShortVersion()),
                                    {QStringLiteral("Install and Relaunch"), QStringLiteral("Not Now")}},
                                   [reply](int button) { reply(button == 0); });
            },
            [host = updateHost_.get()] {
                host->presentAlert({QStringLiteral("You're up to date"),
                                    QStringLiteral("Quellor %1 is the newest version available.").arg(appShortVersion()),
                                    {QStringLiteral("OK")}},
                                   {});
            },
            [host = updateHost_.get()](const QString& text) {
                host->presentAlert({QStringLiteral("Update error"), text, {QStringLiteral("OK")}}, {});
            }};
        feedUpdater_ = std::make_unique<LocalFeedUpdater>(
            defaults, LocalFeedUpdater::Options{appShortVersion(), LocalFeedUpdater::standardStagingRoot(), windows, {}, {}});
        updates = feedUpdater_.get();
    }
    updater_ = std::make_unique<UpdateController>(*updates, *updateHost_, *notifier_, defaults);
    // An update staged by an earlier run is reported on the first turn, before the startup screen:
    // its button shows it, and the question waits until the screen has closed.
    updater_->holdRestart();
    const QString entry = services_.launchAtLoginEntry.isEmpty()
                              ? LaunchAtLogin::standardEntryPath(QStringLiteral("com.larchfen.quellor"))
                              : services_.launchAtLoginEntry;
    launchAtLogin_ = std::make_unique<LaunchAtLogin>(entry, QCoreApplication::applicationFilePath());
    actions_ = std::make_unique<AppActions>(
        *updater_, engine_.get(),
        AppActions::Platform{*launchAtLogin_,
                             [remote = services_.remote] { return remote ? int(remote->midiMapping().count()) : 0; },
                             {}, {}, {}, {}, {}});
    // The setups load before the engine starts; from then on the current setup follows every
    // reported mix change. The hook holds the manager weakly.
    sessionEngine_ = std::make_unique<MixerEngineSessionEngine>(*engine_);
    sessions_ = std::make_unique<SessionManager>(*sessionEngine_, MixSessionStore(services_.setupsPath));
    engine_->onMixChanged = [manager = QPointer<SessionManager>(sessions_.get())] {
        if (manager) manager->captureCurrent();
    };
    // What the user is told about work that could not be kept where it belongs.
    userNotices_ = std::make_unique<UserNotices>();
    userNotices_->follow(*sessions_);
    userNotices_->follow(services_.recorder);
    // The newest recordings, listed now and again whenever a take ends or the folder changes.
    recordings_ = std::make_unique<LatestRecordingModel>();
    recordings_->follow(*engine_, defaults);
    recordings_->refresh();
    mainWindow_ = std::make_unique<MainWindowController>(
        defaults, MainWindowController::Builders{[this] {
                                                     view_ = new MainWindowView(*sessions_, services_.defaults, *themes_, *notifier_, actions_.get());
                                                     RemoteServices* remote = services_.remote;
                                                     view_->setConsoleContent(
                                                         consoleTopBar(),
                                                         new ConsolePane(*engine_,
                                                                         remote ? &remote->midiMapping() : nullptr,
                                                                         services_.defaults, *themes_));
                                                     auto* sources = new SourcesColumn(
                                                         new SourceGridView(*engine_, services_.defaults, *themes_));
                                                     new StatusBanners(*engine_, *updater_, *themes_, *sources);
                                                     view_->setSourcesContent(sources);
                                                     view_->setNotices(*userNotices_);
                                                     installSettingsPages();
                                                     return static_cast<QWidget*>(view_);
                                                 },
                                                 [this](QMenuBar& bar) { installMenus(bar); }});
    recordingIndicator_->setEngine(engine_.get());
    recordingTray_ = std::make_unique<RecordingTray>(*recordingIndicator_, *engine_, services_.recorder, *recordings_,
                                                     [this] { mainWindow_->show(); });
    connect(instance_.get(), &SingleInstance::showRequested, this, [this] { mainWindow_->show(); });

    startup_ = std::make_unique<StartupScreenController>(StartupScreenController::Environment{
        defaults, *themes_, [](QWidget* parent) { return openSetupFilePanel(parent); }, [] { QCoreApplication::quit(); }});
    startupScreenTask_.set(Scheduler::current().after(kStartupScreenDelay, [this] {
        startupScreenTask_.clear();
        presentStartupScreen();
    }));
    permissionWindow_ = std::make_unique<PermissionWindow>(*engine_, *themes_);

    // The engine starts once the start-up has returned and the event loop turns; from then on what
    // the remote side receives reaches it. The engine belongs to this object: while it lives, so
    // does this.
    Scheduler::current().post([this, engine = QPointer<MixerEngine>(engine_.get())] {
        if (!engine) return;
        engine->start(startingMix());
        if (RemoteServices* remote = services_.remote) {
            remoteControl_ = std::make_unique<EngineRemoteControl>(*engine, remote->midiMapping());
            remoteControl_->install(remote->oscListener(), &remote->midiManager());
        }
    });
    if (auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        app->setQuitOnLastWindowClosed(false);
        connect(app, &QCoreApplication::aboutToQuit, this, &QuellorApp::shutdown);
    }
}

std::optional<MixerEngine::StartingMix> QuellorApp::startingMix() const {
    // With the settings lost the engine would start blank, and its first mix change would write
    // that blank mix over the current setup: the setup is what the user made, so it starts from it.
    if (!services_.defaults.storedValuesLost() || !sessions_) return std::nullopt;
    const auto current = sessions_->currentSession();
    if (!current) return std::nullopt;
    return MixerEngine::StartingMix{current->volumes, current->stripSlots, current->styles.value_or(StripStyleMap{})};
}

QWidget* QuellorApp::consoleTopBar() {
    auto* bar = new ConsoleTopBarWidget(*engine_, services_.defaults, *themes_,
                                        [notifier = notifier_.get()] { notifier->post(AppNotification::ShowSettings); });
    UserDefaults& defaults = services_.defaults;
    bar->setCards(new StripCountCard(defaults, *themes_), new MeterCard(defaults, *themes_));
    MIDIMappingManager* midi = services_.remote ? &services_.remote->midiMapping() : nullptr;
    bar->setRecordingCards(new RecCardWidget(*engine_, midi, defaults, *recordings_, *themes_, false),
                           new RecCardWidget(*engine_, midi, defaults, *recordings_, *themes_, true),
                           new MainRecordingCardWidget(*engine_, &services_.recorder, *recordings_, *themes_));
    return bar;
}

void QuellorApp::shutdown() {
    if (shutDown_ || !engine_) return;
    shutDown_ = true;
    // Quitting for an update leaves the taps as they are for the installer.
    if (!updater_ || !updater_->isQuittingForUpdate()) engine_->shutdown();
    // On every quit the last mix changes (and a fader move the engine saved at its shutdown) reach
    // the setups file now, before an installer may start the next copy.
    if (sessions_) sessions_->flush();
    // A staged update installs once this process is gone.
    if (feedUpdater_) feedUpdater_->finishAtQuit();
}

void QuellorApp::presentStartupScreen() {
    startup_->show(*sessions_, startupUpdateTitle(updater_->availableVersion()), [this] { updater_->checkForUpdates(); },
                   [this] {
                       mainWindow_->show();
                       updater_->releaseRestart();
                   });
    // A permission window that came up first stays in front: it asks for something the screen needs.
    permissionWindow_->bringToFront();
}

void QuellorApp::postAfterShowingMainWindow(AppNotification notification) {
    if (mainWindow_) mainWindow_->show();
    notifier_->post(notification);
}

QWidget* QuellorApp::makeMixerView(MIDIMappingManager& mappings) {
    UpdateController* updater = updater_.get();
    DevicesPageShell shell{
        [this](QWidget* parent) -> QWidget* { return new PermissionBanner(*themes_, parent); },
        [this, updater](const QString& version, QWidget* parent) -> QWidget* {
            return new UpdateBanner(*updater, *themes_, version, parent);
        },
        [updater] { return updater->stagedVersion(); },
        [updater] { return updater->availableVersion(); },
    };
    auto* view = new DevicesPageView(DevicesPageView::Mode::Devices, *engine_, mappings, *themes_, std::move(shell));
    connect(updater, &UpdateController::availableVersionChanged, view, &DevicesPageView::requestRebuild);
    connect(updater, &UpdateController::stagedVersionChanged, view, &DevicesPageView::requestRebuild);
    return view;
}

void QuellorApp::installSettingsPages() {
    SettingsWindow* settings = view_->settingsWindow();
    // The panel is a window of its own, where the main window's Quit item does not reach.
    auto* quit = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q), settings);
    connect(quit, &QShortcut::activated, this, [] { QCoreApplication::quit(); });
    if (RemoteServices* remote = services_.remote) settings->setPage(SettingsTab::Devices, makeMixerView(remote->midiMapping()));
    settings->setPage(SettingsTab::Audio, new AudioSettingsView(*engine_, services_.defaults, *themes_));
    settings->setPage(SettingsTab::IPhone, new CompanionSettingsView(*engine_, services_.defaults, *themes_));
}

void QuellorApp::installMenus(QMenuBar& bar) {
    auto context = std::make_shared<AppMenuContext>(AppMenuContext{
        *sessions_, *updater_, [this](AppNotification n) { postAfterShowingMainWindow(n); },
        [this]() -> std::optional<QString> { return view_ ? view_->openSetupPanel() : std::nullopt; },
        [this](const QString& name) -> std::optional<QString> { return view_ ? view_->exportSetupPanel(name) : std::nullopt; },
        [this] {
            if (mainWindow_->window()) mainWindow_->window()->close();
        },
        [] { QCoreApplication::quit(); }});
    QMenu* appMenu = bar.addMenu(QStringLiteral("Quellor"));
    appMenu->setObjectName(QStringLiteral("menu-quellor"));
    bindMenu(*appMenu, [context] { return applicationMenu(*context); });
    QMenu* fileMenuWidget = bar.addMenu(QStringLiteral("File"));
    fileMenuWidget->setObjectName(QStringLiteral("menu-file"));
    bindMenu(*fileMenuWidget, [context] { return fileMenu(*context); });
}

}  // namespace quellor
