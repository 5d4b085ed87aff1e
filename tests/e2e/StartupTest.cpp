#include <gtest/gtest.h>

#include <QFile>
#include <csignal>

#include "PrivatePipeWire.h"
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
        EXPECT_TRUE(app.output().contains("Audio: the built-in simulated world, since no PipeWire server answered"));
        EXPECT_TRUE(app.output().contains("Built-in Output"));
        EXPECT_TRUE(app.waitForLog(QString("OSC Listener ready on port %1").arg(port)));
        EXPECT_EQ(app.stop(sig), 0) << app.output().toStdString();
        EXPECT_TRUE(app.output().contains("Quellor stopped"));
    }
}

TEST(Startup, WhereAPipeWireServerAnswersItsDevicesAreTheWorld) {
    if (auto missing = PrivatePipeWire::missingProgram())
        FAIL() << "cannot run: needs " << missing->toStdString() << " (bash scripts/deps.sh installs it)";
    PrivatePipeWire pipewire;
    ASSERT_TRUE(pipewire.ok()) << pipewire.error().toStdString();
    // What the session manager keeps for later: the configured defaults and the sinks' volumes.
    auto lasting = [&] {
        const QString status = pipewire.run("wpctl", {"status"});
        return QStringList{status.split('\n').filter("[vol:").join('\n'), status.mid(status.indexOf("Settings"))};
    };
    const QStringList before = lasting();
    QuellorProcess app;
    app.seedDefaults({{"oscPort", QuellorProcess::freeUdpPort()}});
    app.environment().insert("PIPEWIRE_RUNTIME_DIR", pipewire.environment().value("PIPEWIRE_RUNTIME_DIR"));
    app.start();
    ASSERT_TRUE(app.waitForLog("Quellor started")) << app.output().toStdString();
    EXPECT_TRUE(app.output().contains("Audio: the PipeWire server"));
    EXPECT_TRUE(app.waitForLog(QString("(%1), 4 out / 0 in").arg(PrivatePipeWire::kQuadSink))) << app.output().toStdString();
    EXPECT_FALSE(app.output().contains("Simulated audio hardware is up"));
    EXPECT_EQ(app.stop(SIGTERM), 0) << app.output().toStdString();
    // Starting and quitting changed nothing there.
    EXPECT_EQ(lasting(), before);
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
