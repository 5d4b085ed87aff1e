// The recording of the MAIN mix fed by a real tap on a private PipeWire server.
#include <QTemporaryDir>
#include <algorithm>

#include "PipeWireTapFixture.h"
#include "WavFiles.h"
#include "recording/MixRecorder.h"

namespace quellor::test {
namespace {

using PipeWireRecordingTest = PipeWireTapFixture;

TEST_F(PipeWireRecordingTest, ATakeOfTheMainMixHoldsTheTappedToneAsItPlays) {
    QProcess& player = play(PrivatePipeWire::kStereoSink);
    const AudioObjectID process = processOf(player.processId());
    ASSERT_NE(process, 0u);
    MixRecorder recorder;
    ProcessTap tap(kHalfGainFader, 1.0f, {process}, false, &recorder.mainLane());
    tap.setRecordsToMain(true);
    tap.start({output(PrivatePipeWire::kStereoSink)});

    recorder.startCapture(48000);
    QTemporaryDir folder;
    const auto file = recorder.openTake(folder.path());
    ASSERT_TRUE(file);
    // A second of the take itself: on a loaded machine the take may open well after the capture.
    const qint64 opened = recorder.capturedFrames();
    ASSERT_TRUE(eventually([&] { return recorder.capturedFrames() > opened + 48000; }));
    recorder.closeTake(recorder.capturedFrames(), true);
    recorder.stopCapture();

    const WavContent take = readWav(*file);
    ASSERT_EQ(take.channels, 2);
    ASSERT_GT(take.frames(), 24000);
    // The second half of the take: well clear of the tap's first cycles.
    for (int channel : {0, 1}) {
        float peak = 0.0f;
        for (qint64 f = take.frames() / 2; f < take.frames(); ++f)
            peak = std::max(peak, std::abs(take.samples[std::size_t(f * 2 + channel)]));
        EXPECT_NEAR(peak, 0.25f, 0.02f) << "channel " << channel;
    }
}

}  // namespace
}  // namespace quellor::test
