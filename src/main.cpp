// quellor: the mixer application. Runs the Qt event loop on the simulated audio hardware.
#include <QCoreApplication>

#include "app/UnixSignals.h"
#include "base/Logger.h"
#include "base/QtScheduler.h"
#include "base/UserDefaults.h"

using namespace quellor;

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName("Quellor");
    QtScheduler scheduler;
    Scheduler::install(&scheduler);
    UserDefaults defaults(UserDefaults::standardFilePath());
    UserDefaults::installStandard(&defaults);

    Logger log("QuellorApp");
    UnixSignals unixSignals;
    QObject::connect(&unixSignals, &UnixSignals::quitRequested, &app, [&](int sig) {
        log.notice("Signal %d received; quitting", sig);
        QCoreApplication::quit();
    });

    log.notice("Quellor started");
    int rc = app.exec();
    defaults.flush();
    log.notice("Quellor stopped");
    UserDefaults::installStandard(nullptr);
    return rc;
}
