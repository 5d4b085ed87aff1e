#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <csignal>

#include "QuellorProcess.h"
#include "setups/MixSessionStore.h"

namespace quellor::test {
namespace {

std::optional<MixSession> currentSetup(const MixSessionStore& store) {
    auto file = store.load().file;
    if (!file || !file->currentID) return std::nullopt;
    for (const MixSession& s : file->sessions)
        if (s.id == *file->currentID) return s;
    return std::nullopt;
}

TEST(Setups, ASlotSentOverOSCRewritesTheSetupsFileAndKeepsThePreviousOneAsBackup) {
    QuellorProcess app;
    const quint16 port = QuellorProcess::freeUdpPort();
    const QString pin = "482913";
    app.seedDefaults({{"oscPort", port}, {"companionPairingPIN", pin}});
    app.start();
    ASSERT_TRUE(app.waitForLog(QString("OSC Listener ready on port %1").arg(port))) << app.output().toStdString();
    ASSERT_TRUE(app.waitForLog("Quellor started")) << app.output().toStdString();

    // The setups are loaded (here: a first setup written) before the engine starts.
    const MixSessionStore store(app.dataPath() + "/Quellor/sessions.json");
    const auto initial = MixSessionStore::readAll(store.path());
    ASSERT_TRUE(initial.has_value()) << app.output().toStdString();
    ASSERT_FALSE(QFile::exists(store.backupPath()));
    const auto first = currentSetup(store);
    ASSERT_TRUE(first.has_value());
    ASSERT_NE(first->stripSlots.value(3), "system_input");

    // The listener learns the PIN when the engine starts, a moment after the log line above: a
    // datagram that comes earlier is refused, so it is sent again until the file changes (the
    // engine's start forgets refusals). A value address without an argument is ignored, so it
    // carries one.
    auto rewritten = [&] { return MixSessionStore::readAll(store.path()) != initial; };
    for (int attempt = 0; attempt < 20 && !rewritten(); ++attempt) {
        ASSERT_EQ(QProcess::execute("oscsend", {"127.0.0.1", QString::number(port),
                                                 "/a/" + pin + "/slot/3/system_input", "f", "1"}),
                  0);
        app.waitUntil(rewritten, 1.0);
    }
    ASSERT_TRUE(rewritten()) << app.output().toStdString();

    auto current = currentSetup(store);
    ASSERT_TRUE(current.has_value());
    EXPECT_EQ(current->stripSlots.value(3), "system_input");
    EXPECT_EQ(MixSessionStore::readAll(store.backupPath()), initial);
    EXPECT_EQ(app.stop(SIGTERM), 0) << app.output().toStdString();
}

}  // namespace
}  // namespace quellor::test
