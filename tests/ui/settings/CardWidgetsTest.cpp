// The cards as widgets: clicks reach the engine and the user defaults, and the cards follow the
// recording, the recordings model and the stored settings.
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <QTest>

#include "EngineFixture.h"
#include "FakeRecorder.h"
#include "recording/RecordingFolder.h"
#include "ui/console/SlideSwitchWidget.h"
#include "ui/settings/LatestRecordingModel.h"
#include "ui/settings/MainRecordingCardWidget.h"
#include "ui/settings/MeterCard.h"
#include "ui/settings/RecCardWidget.h"
#include "ui/settings/StripCountCard.h"
#include "ui/style/ThemeController.h"

namespace quellor {
namespace {

class CardWidgetsTest : public test::EngineFixture {
protected:
    CardWidgetsTest() {
        engine().setRecorder(&recorder);
        hardware.setDefaultOutputDevice(addOutputDevice("speakers", 2));
        startEngine();
    }
    test::FakeRecorder recorder{[this] { return hardware.io().hostTimeNow(); }};
    ThemeController themes{defaults()};
    QTemporaryDir folder;
    LatestRecordingModel recordings{
        LatestRecordingModel::Folders{[] { return std::nullopt; }, [this] { return folder.path(); }, [](const auto&) {}},
        [](std::function<void()>) {}};
};

TEST_F(CardWidgetsTest, TheRecCardRecordsAndLocksItsSourceWhileRecording) {
    RecCardWidget card(engine(), nullptr, defaults(), recordings, themes, false, [] { return std::nullopt; });
    ASSERT_NE(card.sourceSwitch(), nullptr);
    QTest::mouseClick(card.sourceSwitch()->leftOption(), Qt::LeftButton);
    EXPECT_TRUE(defaults().boolOr("recordPreFader", false));
    EXPECT_FALSE(card.sourceSwitch()->isRight());

    QTest::mouseClick(card.ball(), Qt::LeftButton);
    ASSERT_TRUE(engine().isRecording());
    EXPECT_EQ(card.ball()->accessibleName(), "Stop recording");
    EXPECT_FALSE(card.sourceSwitch()->isEnabled());
    EXPECT_EQ(card.sourceSwitch()->switchPart()->toolTip(), "The source cannot change during a recording");

    QTest::mouseClick(card.ball(), Qt::LeftButton);
    EXPECT_FALSE(engine().isRecording());
    EXPECT_TRUE(card.sourceSwitch()->isEnabled());
    EXPECT_EQ(card.ball()->toolTip(), "Record the main mix to one file");

    const RecCardWidget compact(engine(), nullptr, defaults(), recordings, themes, true, [] { return std::nullopt; });
    EXPECT_EQ(compact.sourceSwitch(), nullptr);
    EXPECT_EQ(compact.ballMenu().size(), card.ballMenu().size());
}

TEST_F(CardWidgetsTest, TheMainRecordingCardFollowsTheLatestTake) {
    QStringList opened;
    MainRecordingCardWidget card(engine(), nullptr, recordings, themes, [&](const QString& f) { opened << f; });
    EXPECT_EQ(card.latestArea()->accessibleName(), "No recording yet");

    recordings.select({{folder.filePath("take.wav"), QDateTime(), 61}, std::vector<std::uint8_t>(80, 200)});
    EXPECT_EQ(card.latestArea()->objectName(), "export-card");
    EXPECT_EQ(card.latestArea()->accessibleName(), "Latest recording, 1:01, ready to drag");

    engine().startRecording();
    EXPECT_EQ(card.latestArea()->accessibleName(), "00:00");
    engine().stopRecording();

    defaults().setData(RecordingFolder::kBookmarkKey, folder.path().toUtf8());
    QTest::mouseClick(card.folderButton(), Qt::LeftButton);
    EXPECT_EQ(opened, QStringList({folder.path()}));
}

TEST_F(CardWidgetsTest, TheSettingCardsStoreAndFollowTheirKeys) {
    MeterCard meter(defaults(), themes);
    StripCountCard strips(defaults(), themes);
    QTest::mouseClick(meter.slideSwitch()->switchPart(), Qt::LeftButton);
    EXPECT_EQ(defaults().stringOr("meterSource", ""), "pre");
    EXPECT_EQ(meter.slideSwitch()->switchPart()->accessibleName(), "Meter source: PRE. Switch to POST");
    QTest::mouseClick(strips.slideSwitch()->rightOption(), Qt::LeftButton);
    EXPECT_EQ(defaults().integerOr("consoleStrips", 0), 16);
    EXPECT_TRUE(strips.slideSwitch()->isRight());

    defaults().setInteger("consoleStrips", 8);  // changed elsewhere (the settings window, a setup)
    EXPECT_FALSE(strips.slideSwitch()->isRight());
    EXPECT_EQ(strips.slideSwitch()->switchPart()->objectName(), "strip-count");
}

}  // namespace
}  // namespace quellor
