#include <gtest/gtest.h>

#include <QFile>
#include <csignal>

#include "QuellorProcess.h"

namespace quellor::test {
namespace {

TEST(Startup, DefaultWorldComesUpAndQuitsCleanlyOnEitherSignal) {
    for (int sig : {SIGINT, SIGTERM}) {
        QuellorProcess app;
        const quint16 port = QuellorProcess::freeUdpPort();
        app.seedDefaults({{"oscPort", port}});
        app.start();
        ASSERT_TRUE(app.waitForLog("Quellor started")) << app.output().toStdString();
        EXPECT_TRUE(app.output().contains("Simulated audio hardware is up"));
        EXPECT_TRUE(app.output().contains("Built-in Output"));
        EXPECT_TRUE(app.waitForLog(QString("OSC Listener ready on port %1").arg(port)));
        EXPECT_EQ(app.stop(sig), 0) << app.output().toStdString();
        EXPECT_TRUE(app.output().contains("Quellor stopped"));
    }
}

TEST(Startup, MissingOrInvalidWorldFileIsAClearErrorAndANonZeroExit) {
    QuellorProcess app;
    QString invalid = app.homePath() + "/world.json";
    QFile f(invalid);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("{\"devices\": 3}");
    f.close();
    for (const QString& path : {app.homePath() + "/absent.json", invalid}) {
        QuellorProcess run;
        run.environment().insert("QUELLOR_WORLD", path);
        run.start();
        int code = run.waitForExit();
        EXPECT_NE(code, 0);
        EXPECT_NE(code, -1) << "did not exit";
        EXPECT_TRUE(run.output().contains("Cannot use the simulated world in QUELLOR_WORLD: " + path))
            << run.output().toStdString();
    }
}

}  // namespace
}  // namespace quellor::test
