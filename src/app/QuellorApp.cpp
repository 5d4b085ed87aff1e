#include "app/QuellorApp.h"

#include <QApplication>
#include <QMainWindow>
#include <QMenuBar>
#include <QPointer>

#include "app/AppMenus.h"
#include "app/AppNotifier.h"
#include "app/MainWindowController.h"
#include "app/MainWindowView.h"
#include "app/MenuBarExportCard.h"
#include "app/RecordingStatusItem.h"
#include "app/SingleInstance.h"
#include "app/UpdateController.h"
#include "base/Scheduler.h"
#include "recording/MixRecorder.h"
#include "setups/MixSessionStore.h"
#include "setups/MixerEngineSessionEngine.h"
#include "setups/SessionManager.h"
#include "ui/style/Fonts.h"
#include "ui/style/ThemeController.h"

namespace quellor {

QuellorApp::QuellorApp(Services services, QObject* parent) : QObject(parent), services_(std::move(services)) {}

QuellorApp::~QuellorApp() {
    // Windows go before the objects they show; the setups before the engine they capture.
    mainWindow_.reset();
    sessions_.reset();
    sessionEngine_.reset();
    engine_.reset();
}

bool QuellorApp::claimSingleInstance() {
    recordingIndicator_ = std::make_unique<RecordingStatusItem>();
    // The type and the theme are in force before anything exists that could paint.
    installApplicationFont();
    themes_ = std::make_unique<ThemeController>(services_.defaults);
    instance_ = std::make_unique<SingleInstance>(services_.instanceFolder);
    return instance_->acquire();
}

void QuellorApp::build() {
    UserDefaults& defaults = services_.defaults;
    seedStatusItemPositions(defaults);
    notifier_ = std::make_unique<AppNotifier>();
    engine_ = std::make_unique<MixerEngine>(services_.enginePlatform);
    engine_->setRecorder(&services_.recorder);
    updater_ = std::make_unique<UpdateController>();
    // The setups load before the engine starts; from then on the current setup follows every
    // reported mix change. The hook holds the manager weakly.
    sessionEngine_ = std::make_unique<MixerEngineSessionEngine>(*engine_);
    sessions_ = std::make_unique<SessionManager>(*sessionEngine_, MixSessionStore(services_.setupsPath));
    engine_->onMixChanged = [manager = QPointer<SessionManager>(sessions_.get())] {
        if (manager) manager->captureCurrent();
    };
    mainWindow_ = std::make_unique<MainWindowController>(
        defaults, MainWindowController::Builders{[this] {
                                                     view_ = new MainWindowView(*sessions_, services_.defaults, *themes_, *notifier_);
                                                     return static_cast<QWidget*>(view_);
                                                 },
                                                 [this](QMenuBar& bar) { installMenus(bar); }});
    recordingIndicator_->setEngine(engine_.get());
    connect(instance_.get(), &SingleInstance::showRequested, this, [this] { mainWindow_->show(); });

    // The engine starts once the start-up has returned and the event loop turns.
    Scheduler::current().post([engine = QPointer<MixerEngine>(engine_.get())] {
        if (engine) engine->start();
    });
    if (auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        app->setQuitOnLastWindowClosed(false);
        connect(app, &QCoreApplication::aboutToQuit, this, &QuellorApp::shutdown);
    }
}

void QuellorApp::shutdown() {
    if (shutDown_ || !engine_) return;
    shutDown_ = true;
    if (updater_ && updater_->isQuittingForUpdate()) return;
    engine_->shutdown();
    // The engine's last mix change (a fader move it saved at shutdown) reaches the setups file now.
    if (sessions_) sessions_->flush();
}

void QuellorApp::postAfterShowingMainWindow(AppNotification notification) {
    if (mainWindow_) mainWindow_->show();
    notifier_->post(notification);
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
