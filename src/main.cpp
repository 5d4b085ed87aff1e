// quellor: the mixer application. Runs the Qt event loop on the simulated audio hardware.
#include <QApplication>
#include <QMessageBox>
#include <QThreadPool>
#include <memory>

#include "app/BackgroundWork.h"
#include "app/UnixSignals.h"
#include "base/Logger.h"
#include "base/QtScheduler.h"
#include "base/UserDefaults.h"
#include "app/MainWindowController.h"
#include "app/QuellorApp.h"
#include "app/RemoteServices.h"
#include "remote/MIDIMappingManager.h"
#include "app/SingleInstance.h"
#include "audio/VolumeWriteQueue.h"
#include "engine/MixerEngine.h"
#include "platform/SimulatedIO.h"
#include "platform/SimulatedBluetooth.h"
#include "platform/SimulatedHardware.h"
#include "platform/SimulatedRunningApplications.h"
#include "platform/SimulatedWorld.h"
#include "recording/MixRecorder.h"
#include "recording/RecordingFolder.h"
#include "recording/WavHeaderRepair.h"
#include "setups/MixSessionStore.h"

using namespace quellor;

namespace {

// The world named by QUELLOR_WORLD, or the built-in one. Nothing when the named file is unusable.
std::optional<SimulatedWorld> chooseWorld(const Logger& log) {
    QString path = qEnvironmentVariable("QUELLOR_WORLD");
    if (path.isEmpty()) return SimulatedWorld::builtIn();
    QString error;
    auto world = SimulatedWorld::load(path, error);
    if (!world) log.error("Cannot use the simulated world in QUELLOR_WORLD: %s", qPrintable(error));
    return world;
}

void logHardware(const Logger& log, const SimulatedHardware& hardware) {
    log.notice("Simulated audio hardware is up: %zu devices, %zu applications", hardware.deviceIDs().size(),
               hardware.processIDs().size());
    auto text = [&](AudioObjectID id, std::uint32_t selector) {
        auto v = hardware.property(id, {selector});
        return v ? std::get<QString>(*v) : QString();
    };
    for (auto id : hardware.deviceIDs()) {
        auto channels = [&](std::uint32_t scope) {
            auto v = hardware.property(id, {hal::kStreamConfiguration, scope});
            return v ? std::get<StreamConfiguration>(*v).totalChannels() : 0u;
        };
        log.notice("Device %u: %s (%s), %u out / %u in%s%s", id, qPrintable(text(id, hal::kName)),
                   qPrintable(text(id, hal::kDeviceUID)), channels(hal::kScopeOutput), channels(hal::kScopeInput),
                   id == hardware.defaultOutputDevice() ? ", default output" : "",
                   id == hardware.defaultInputDevice() ? ", default input" : "");
    }
    for (auto id : hardware.processIDs()) {
        if (auto p = hardware.process(id))
            log.notice("Application %s (%s), pid %d%s", qPrintable(p->name), qPrintable(p->bundleID), p->pid,
                       p->runningOutput ? ", playing" : "");
    }
}

}  // namespace

// A second copy tells the user where the first one runs, then leaves without touching anything.
int reportSecondCopy(const SingleInstance& instance) {
    QMessageBox alert(QMessageBox::NoIcon, QStringLiteral("Quellor"), QStringLiteral("Quellor is already running"),
                      QMessageBox::Ok);
    alert.setInformativeText(SingleInstance::informativeText(instance.other() ? instance.other()->executablePath : std::nullopt));
    alert.setObjectName(QStringLiteral("already-running-alert"));
    alert.exec();
    return 0;
}

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("Quellor");
    QApplication::setDesktopFileName(QStringLiteral("quellor"));
    QtScheduler scheduler;
    Scheduler::install(&scheduler);
    Logger log("QuellorApp");
    auto world = chooseWorld(log);
    if (!world) return 2;
    UserDefaults defaults(UserDefaults::standardFilePath());
    UserDefaults::installStandard(&defaults);
    // Outlives everything that listens to it.
    SimulatedHardware hardware;
    AudioHardware::install(&hardware);
    // Outlives the engine and every tap that adds into its lane; goes (its writer finishing what is
    // queued) after the IO drivers have stopped and before the scheduler its timer runs on.
    MixRecorder recorder;
    SimulatedRunningApplications running;
    SimulatedBluetooth bluetooth;
    auto remote = std::make_unique<RemoteServices>();
    auto quellor = std::make_unique<QuellorApp>(QuellorApp::Services{
        .defaults = defaults,
        .enginePlatform = MixerEngine::Platform{running, bluetooth, {}, remote.get()},
        .recorder = recorder,
        .setupsPath = MixSessionStore::defaultPath(),
        .midiMapping = &remote->midiMapping(),
    });
    // Nothing audio exists yet: a second copy asks the first to show itself and leaves.
    if (!quellor->claimSingleInstance()) {
        int rc = reportSecondCopy(quellor->instance());
        quellor.reset();
        UserDefaults::installStandard(nullptr);
        AudioHardware::install(nullptr);
        return rc;
    }

    // Takes cut short by a crash or a kill keep the header of their last update: make them whole
    // before any new take is opened.
    repairInterruptedTakes(RecordingFolder::current());
    world->populate(hardware);
    running.populate(*world);
    bluetooth.populate(*world, hardware);
    // The simulated devices play in real time, in cycles of 256 frames at 48 kHz.
    hardware.io().startRealTimeDriver(256, 48000.0);
    quellor->build();

    UnixSignals unixSignals;
    QObject::connect(&unixSignals, &UnixSignals::quitRequested, &app, [&](int sig) {
        log.notice("Signal %d received; quitting", sig);
        QCoreApplication::quit();
    });

    logHardware(log, hardware);
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
    hardware.io().stopDrivers();
    defaults.flush();
    log.notice("Quellor stopped");
    UserDefaults::installStandard(nullptr);
    AudioHardware::install(nullptr);
    return rc;
}
