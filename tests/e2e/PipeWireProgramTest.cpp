// The whole program on a private PipeWire server: a player's tone recorded over OSC through the
// program's taps, and the player left on its own sink when the program is killed.
#include <gtest/gtest.h>

#include <QDeadlineTimer>
#include <QDir>
#include <algorithm>
#include <csignal>
#include <cmath>

#include "PipeWireTapFixture.h"
#include "QuellorProcess.h"
#include "recording/WavFiles.h"

namespace quellor::test {
namespace {

const QString kPIN = "246810";

// Whether pw-play's first channel is linked to a node whose name starts with `node`.
bool playerLinkedTo(PrivatePipeWire& pipewire, const QString& node) {
    const QStringList lines = pipewire.run("pw-link", {"-l"}).split('\n');
    for (qsizetype i = 0; i + 1 < lines.size(); ++i)
        if (lines[i].trimmed() == "pw-play:output_FL" && lines[i + 1].contains("|-> " + node)) return true;
    return false;
}

TEST(WholeProgramOnPipeWire, ATakeRecordedOverOscHoldsTheToneAndAKilledProgramLeavesThePlayerOnItsSink) {
    if (auto missing = PrivatePipeWire::missingProgram())
        FAIL() << "cannot run: needs " << missing->toStdString() << " (bash scripts/deps.sh installs it)";
    PrivatePipeWire pipewire;
    ASSERT_TRUE(pipewire.ok()) << pipewire.error().toStdString();
    pipewire.launch("pw-play", {"--target", PrivatePipeWire::kStereoSink, halfScaleTone(pipewire)});
    ASSERT_TRUE(PrivatePipeWire::waitUntil([&] { return playerLinkedTo(pipewire, PrivatePipeWire::kStereoSink); }));

    QuellorProcess app;
    const quint16 oscPort = QuellorProcess::freeUdpPort();
    app.seedDefaults({{"companionPairingPIN", kPIN}, {"oscEnabled", true}, {"oscPort", oscPort}});
    app.environment().insert("PIPEWIRE_RUNTIME_DIR", pipewire.environment().value("PIPEWIRE_RUNTIME_DIR"));
    app.start();
    ASSERT_TRUE(app.waitForLog(QString("OSC Listener ready on port %1").arg(oscPort))) << app.output().toStdString();
    auto record = [&](int on) {
        pipewire.run("oscsend", {"127.0.0.1", QString::number(oscPort), "/a/" + kPIN + "/record", "f", QString::number(on)});
    };

    // Recording taps every playing application: the player now plays into the program only. The
    // engine hands the PIN to the listener once it runs: until then a message is refused.
    ASSERT_TRUE(app.waitForLog("Quellor started")) << app.output().toStdString();
    bool recording = false;
    for (int attempt = 0; attempt < 10 && !recording; ++attempt) {
        record(1);
        recording = app.waitForLog("Recording to ", 1.5);
    }
    ASSERT_TRUE(recording) << app.output().toStdString();
    ASSERT_TRUE(app.waitForLog("Tap active for processes")) << app.output().toStdString();
    EXPECT_TRUE(app.waitUntil([&] { return playerLinkedTo(pipewire, "quellor.tap."); }));
    EXPECT_FALSE(playerLinkedTo(pipewire, PrivatePipeWire::kStereoSink));
    QDeadlineTimer played(2000);
    app.waitUntil([&] { return played.hasExpired(); }, 5);
    record(0);
    ASSERT_TRUE(app.waitForLog("MixRecorder info: Recording closed")) << app.output().toStdString();
    const QStringList takes = QDir(app.homePath() + "/Music/Quellor").entryList({"Quellor *.wav"}, QDir::Files);
    ASSERT_EQ(takes.size(), 1) << app.output().toStdString();
    const WavContent take = readWav(app.homePath() + "/Music/Quellor/" + takes.front());
    ASSERT_GT(take.frames(), 48000);
    float peak = 0.0f;
    for (float v : take.samples) peak = std::max(peak, std::abs(v));
    EXPECT_NEAR(peak, 0.5f, 0.02f);

    // Killed while it taps the player: nothing of the program is left to send the player anywhere.
    record(1);
    ASSERT_TRUE(app.waitUntil([&] { return playerLinkedTo(pipewire, "quellor.tap."); })) << app.output().toStdString();
    app.stop(SIGKILL);
    EXPECT_TRUE(PrivatePipeWire::waitUntil([&] { return playerLinkedTo(pipewire, PrivatePipeWire::kStereoSink); }))
        << pipewire.run("pw-link", {"-l"}).toStdString();
    EXPECT_FALSE(pipewire.run("pw-cli", {"ls", "Node"}).contains("quellor."));
}

}  // namespace
}  // namespace quellor::test
