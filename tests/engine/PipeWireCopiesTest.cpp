// Copies of one application and floods of short sounds on a real PipeWire server of the test's own:
// a tap takes every copy from its first sample, and short players end on time while tapped.
#include <QElapsedTimer>
#include <QFile>

#include "PipeWireTapFixture.h"

namespace quellor::test {
namespace {

class PipeWireCopiesTest : public PipeWireTapFixture {
protected:
    // A 0.4 s half-scale tone.
    QString shortTone() {
        const QString file = pipewire_->folder() + "/short.wav";
        if (!QFile::exists(file))
            pipewire_->run("sox", {"-n", "-r", "48000", "-c", "2", "-b", "16", file, "synth", "0.4", "sine", "440", "vol", "0.5"});
        return file;
    }

    // Plays the short tone on the stereo sink to its end; how long the player ran, in seconds
    // (-1 when it did not end within 30 s).
    double playShort() {
        QProcess& player = pipewire_->launch("pw-play", {"--target", PrivatePipeWire::kStereoSink, shortTone()});
        player.waitForStarted();
        QElapsedTimer timer;
        timer.start();
        const bool ended = eventually([&] { return player.state() == QProcess::NotRunning || player.waitForFinished(20); }, 30.0);
        return ended ? double(timer.elapsed()) / 1000.0 : -1.0;
    }

    // How many 10-ms blocks of the stereo sink's left channel reached -40 dBFS since `mark`.
    int audibleBlocksSince(SinkProbe& probe, std::size_t mark) {
        int audible = 0;
        for (float p : probe.blockPeaks(0, mark, 480)) audible += p >= 0.01f;
        return audible;
    }
};

TEST_F(PipeWireCopiesTest, AMutedApplicationsOtherCopiesAndShortSoundsNeverReachTheDevice) {
    SinkProbe& stereo = probe(PrivatePipeWire::kStereoSink, 2);
    QProcess& first = play(PrivatePipeWire::kStereoSink);
    const AudioObjectID process = processOf(first.processId());
    ASSERT_NE(process, 0u);
    ProcessTap tap(kHalfGainFader, 1.0f, {process}, true);
    tap.start({output(PrivatePipeWire::kStereoSink)});
    ASSERT_TRUE(eventually([&] { return stereo.frames() > 4800 && stereo.peak(0) < 0.001f; })) << stereo.peak(0);

    // A second copy, then a row of short sounds from further copies: silent from their first sample.
    const std::size_t mark = stereo.frames();
    QProcess& second = play(PrivatePipeWire::kStereoSink);
    ASSERT_NE(processOf(second.processId()), 0u);
    for (int i = 0; i < 12; ++i) ASSERT_GE(playShort(), 0.0) << "sound " << i;
    EXPECT_TRUE(eventually([&] { return stereo.frames() > mark + 48000; }));
    // A sound the tap missed is heard for 40 blocks. The session manager may still link a new stream
    // to its own target for one quantum before it reads the one we write as the node appears.
    EXPECT_LE(audibleBlocksSince(stereo, mark), 6);

    // The second copy follows the fader once the first has gone.
    tap.setMuted(false);
    first.kill();
    EXPECT_TRUE(eventually([&] { return near(stereo.peak(0), 0.25f); })) << stereo.peak(0);
}

TEST_F(PipeWireCopiesTest, ShortPlayersOfATappedApplicationEndWithinTheirLengthAndASecond) {
    QProcess& first = play(PrivatePipeWire::kStereoSink);
    const AudioObjectID process = processOf(first.processId());
    ASSERT_NE(process, 0u);
    ProcessTap tap(kHalfGainFader, 1.0f, {process}, true);
    tap.start({output(PrivatePipeWire::kStereoSink)});
    double slowest = 0.0;
    for (int i = 0; i < 30; ++i) {
        const double took = playShort();
        ASSERT_GE(took, 0.0) << "player " << i << " never ended";
        slowest = std::max(slowest, took);
    }
    EXPECT_LT(slowest, 1.4);
}

}  // namespace
}  // namespace quellor::test
