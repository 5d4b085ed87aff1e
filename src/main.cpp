// quellor: the mixer application. Runs the Qt event loop on the machine's PipeWire server or on the
// simulated audio hardware (AudioWorld says which).
#include <QApplication>
#include <QMessageBox>
#include <QThreadPool>
#include <memory>

#include "app/AudioWorld.h"
#include "app/BackgroundWork.h"
#include "app/UnixSignals.h"
#include "base/Logger.h"
#include "base/QtScheduler.h"
#include "base/UserDefaults.h"
#include "app/MainWindowController.h"
#include "app/QuellorApp.h"
#include "app/RemoteServices.h"
#include "app/SingleInstance.h"
#include "audio/VolumeWriteQueue.h"
#include "engine/MixerEngine.h"
#include "recording/MixRecorder.h"
#include "recording/RecordingFolder.h"
#include "recording/WavHeaderRepair.h"
#include "setups/MixSessionStore.h"

using namespace quellor;

// A second copy tells the user where the first one runs, then leaves without touching anything.
// The first copy has shown its window by now: the alert comes up above it.
int reportSecondCopy(const SingleInstance& instance) {
    QMessageBox alert(QMessageBox::NoIcon, QStringLiteral("Quellor"), QStringLiteral("Quellor is already running"),
                      QMessageBox::Ok);
    alert.setInformativeText(SingleInstance::informativeText(instance.other() ? instance.other()->executablePath : std::nullopt));
    alert.setObjectName(QStringLiteral("already-running-alert"));
    alert.exec();
    return 0;
}

// The port of the companion's host that its feeds go to: QUELLOR_COMPANION_PORT when it names one (a
// check that plays the companion beside another program holding the usual port), read once at start.
quint16 companionPort(const Logger& log) {
    const QString text = qEnvironmentVariable("QUELLOR_COMPANION_PORT");
    if (text.isEmpty()) return CompanionFeeds::kPort;
    bool ok = false;
    const uint port = text.toUInt(&ok);
    if (ok && port >= 1 && port <= 65535) return quint16(port);
    log.error("QUELLOR_COMPANION_PORT is not a port (%s); the companion's feeds go to port %u", qPrintable(text),
              unsigned(CompanionFeeds::kPort));
    return CompanionFeeds::kPort;
}

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("Quellor");
    QApplication::setDesktopFileName(QStringLiteral("quellor"));
    QtScheduler scheduler;
    Scheduler::install(&scheduler);
    Logger log("QuellorApp");
    // The single-instance rule before anything else: a second copy reads no settings (it could
    // set aside or rewrite the first copy's), connects to no audio server, opens no port and makes
    // no MIDI client, asks the first to show itself and leaves.
    auto instance = std::make_unique<SingleInstance>();
    if (!instance->acquire()) {
        int rc = reportSecondCopy(*instance);
        instance.reset();
        return rc;
    }
    UserDefaults defaults(UserDefaults::standardFilePath());
    UserDefaults::installStandard(&defaults);
    auto audio = AudioWorld::open(qEnvironmentVariable("QUELLOR_WORLD"), log);
    if (!audio) {
        UserDefaults::installStandard(nullptr);
        return 2;
    }
    // The audio hardware outlives everything that listens to it.
    AudioHardware::install(&audio->hardware());
    // Outlives the engine and every tap that adds into its lane; goes (its writer finishing what is
    // queued) after the IO drivers have stopped and before the scheduler its timer runs on.
    MixRecorder recorder;
    auto remote = std::make_unique<RemoteServices>();
    auto quellor = std::make_unique<QuellorApp>(QuellorApp::Services{
        .defaults = defaults,
        .enginePlatform = MixerEngine::Platform{audio->runningApplications(), audio->bluetooth(), {}, remote.get(),
                                                companionPort(log)},
        .recorder = recorder,
        .setupsPath = MixSessionStore::defaultPath(),
        .remote = remote.get(),
        .claimedInstance = std::move(instance),
    });
    // Takes over the lock claimed above.
    quellor->claimSingleInstance();

    // Takes cut short by a crash or a kill keep the header of their last update: make them whole
    // before any new take is opened.
    repairInterruptedTakes(RecordingFolder::current());
    audio->populate();
    quellor->build();

    UnixSignals unixSignals;
    QObject::connect(&unixSignals, &UnixSignals::quitRequested, &app, [&](int sig) {
        log.notice("Signal %d received; quitting", sig);
        QCoreApplication::quit();
    });

    audio->logContents(log);
    // The startup screen greets the user shortly; the main window opens from it.
    log.notice("Quellor started");
    int rc = app.exec();
    quellor->shutdown();
    quellor.reset();
    remote.reset();
    // Bluetooth jobs and volume writes post to the scheduler and use the services above: they end
    // before any of those goes (the application object would wait for its pool only after them).
    finishBackgroundWork(*QThreadPool::globalInstance(), {&VolumeWriteQueue::shared(), &VolumeWriteQueue::system()});
    // No IO cycle may outlive the objects it touches.
    audio->stop();
    defaults.flush();
    log.notice("Quellor stopped");
    UserDefaults::installStandard(nullptr);
    AudioHardware::install(nullptr);
    return rc;
}
