// The recording cards' logic: the REC ball and its menu, the PRE/POST switch, and the three faces
// of the latest-take card.
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <numbers>

#include "EngineFixture.h"
#include "FakeRecorder.h"
#include "engine/RouteID.h"
#include "remote/MIDIMappingManager.h"
#include "ui/settings/LatestRecordingModel.h"
#include "ui/settings/MainRecordingCard.h"
#include "ui/settings/RecCard.h"
#include "ui/settings/RecordingCardLook.h"

namespace quellor {
namespace {

QStringList titles(const MenuModel& menu) {
    QStringList out;
    for (const MenuItem& item : menu) out << (item.kind == MenuItem::Kind::Separator ? QStringLiteral("—") : item.title);
    return out;
}

class RecordingCardsTest : public test::EngineFixture {
protected:
    RecordingCardsTest() {
        engine().setRecorder(&recorder);
        hardware.setDefaultOutputDevice(addOutputDevice("speakers", 2));
        startEngine();
    }
    RecCard recCard(MIDIMappingManager* midi) {
        return RecCard(engine(), midi, defaults(), recordings, [this] { return pickedFolder; });
    }

    test::FakeRecorder recorder{[this] { return hardware.io().hostTimeNow(); }};
    QTemporaryDir folder;
    std::vector<std::function<void()>> jobs;
    LatestRecordingModel recordings{
        LatestRecordingModel::Folders{[] { return std::nullopt; }, [this] { return folder.path(); }, [](const auto&) {}},
        [this](std::function<void()> job) { jobs.push_back(std::move(job)); }};
    std::optional<QString> pickedFolder;
    MIDIMappingManager midi{defaults()};
};

TEST_F(RecordingCardsTest, TheBallStartsAndStopsARecording) {
    const RecCard card = recCard(&midi);
    EXPECT_EQ(card.ballLabel(), "Record the main mix");
    EXPECT_EQ(card.ballHelp(), "Record the main mix to one file");
    card.pressBall();
    ASSERT_TRUE(engine().isRecording());
    EXPECT_EQ(card.ballLabel(), "Stop recording");
    EXPECT_EQ(card.ballHelp(), "Stop recording");
    card.pressBall();
    EXPECT_FALSE(engine().isRecording());

    // A pulse of 1.1 Hz between 0.5 and 1 while recording; steady otherwise.
    const double quarter = 1 / (4 * RecCard::kPulseHertz);
    const std::tuple<bool, double, double> cases[] = {{false, quarter, 1.0}, {true, 0, 0.75}, {true, quarter, 1.0}, {true, 3 * quarter, 0.5}};
    for (const auto& [recording, t, opacity] : cases) EXPECT_NEAR(RecCard::ballOpacity(recording, t), opacity, 1e-9) << t;
}

TEST_F(RecordingCardsTest, TheBallMenuFollowsMIDILearn) {
    const QString learning = "Waiting for a MIDI button…", folderItem = "Choose Recording Folder…";
    EXPECT_EQ(titles(recCard(nullptr).ballMenu()), QStringList({folderItem}));
    const RecCard card = recCard(&midi);
    EXPECT_EQ(titles(card.ballMenu()), QStringList({"Learn REC MIDI", "—", folderItem}));

    findMenuItem(card.ballMenu(), "Learn REC MIDI")->action();
    EXPECT_EQ(midi.learningTarget(), RouteID::kRecordTransport);
    EXPECT_EQ(titles(card.ballMenu()), QStringList({learning, "—", folderItem}));
    midi.assign(20, std::nullopt, RouteID::kRecordTransport);
    midi.setLearningTarget(RouteID::kRecordTransport);
    EXPECT_EQ(titles(card.ballMenu()), QStringList({learning, "Clear REC MIDI", "—", folderItem}));
    findMenuItem(card.ballMenu(), learning)->action();
    EXPECT_FALSE(midi.learningTarget());
    EXPECT_EQ(titles(card.ballMenu()), QStringList({"Re-learn REC MIDI", "Clear REC MIDI", "—", folderItem}));
    findMenuItem(card.ballMenu(), "Clear REC MIDI")->action();
    EXPECT_FALSE(midi.ccNumber(RouteID::kRecordTransport));

    // Only a folder that was chosen lists the recordings again.
    findMenuItem(card.ballMenu(), folderItem)->action();
    EXPECT_EQ(recordings.generation(), 0);
    pickedFolder = folder.path();
    findMenuItem(card.ballMenu(), folderItem)->action();
    EXPECT_EQ(recordings.generation(), 1);
}

TEST_F(RecordingCardsTest, TheSourceSwitchStoresPreOrPostAndHoldsStillWhileRecording) {
    const RecCard card = recCard(&midi);
    const Palette pal = palette(ThemeMode::Booth);
    struct Case {
        bool pre;
        bool isRight;
        const char* label;
    };
    for (const Case& c : {Case{false, true, "Recording source: POST fader. Switch to PRE"},
                          Case{true, false, "Recording source: PRE fader. Switch to POST"}}) {
        defaults().setBool("recordPreFader", c.pre);
        const auto options = card.sourceSwitch(pal);
        EXPECT_EQ(options.isRight, c.isRight);
        EXPECT_EQ(options.label, c.label);
        EXPECT_EQ(options.identifier, "record-source");
        EXPECT_EQ(options.rightLamp, RecordingCardLook::kRecRed);
        options.set(c.pre);  // ask for the other side
        EXPECT_EQ(defaults().boolOr("recordPreFader", false), !c.pre);
    }
    EXPECT_TRUE(card.sourceSwitchEnabled());
    EXPECT_EQ(card.sourceSwitchOpacity(), 1.0);

    engine().startRecording();
    const auto options = card.sourceSwitch(pal);
    EXPECT_EQ(options.help, "The source cannot change during a recording");
    EXPECT_FALSE(card.sourceSwitchEnabled());
    EXPECT_EQ(card.sourceSwitchOpacity(), 0.5);
    const bool before = defaults().boolOr("recordPreFader", false);
    options.set(before);
    EXPECT_EQ(defaults().boolOr("recordPreFader", false), before);
}

TEST_F(RecordingCardsTest, TheLatestTakeCardShowsTheClockTheTakeOrNothing) {
    const MainRecordingCard card(engine(), nullptr, recordings);
    EXPECT_EQ(card.state(), MainRecordingCard::State::Empty);
    EXPECT_FALSE(card.dragFile());

    const LatestRecordingModel::Entry newest{{folder.filePath("new.wav"), QDateTime(), 125.4}, {}};
    const LatestRecordingModel::Entry picked{{folder.filePath("old.wav"), QDateTime(), 3.6}, std::vector<std::uint8_t>(80, 9)};
    recordings.select(picked);
    EXPECT_EQ(card.state(), MainRecordingCard::State::Latest);
    EXPECT_EQ(card.lengthText(), "0:04");
    EXPECT_EQ(card.latestAccessibleLabel(), "Latest recording, 0:04, ready to drag");
    EXPECT_EQ(card.dragFile(), picked.info.file);
    recordings.select(newest);
    EXPECT_EQ(card.latestAccessibleLabel(), "Latest recording, 2:05, ready to drag");

    engine().startRecording();
    EXPECT_EQ(card.state(), MainRecordingCard::State::Clock);
    EXPECT_EQ(card.clockText(), "00:00");
}

TEST(RecordingCardWaveform, SixteenBarsCentredInTheCanvas) {
    const QRectF canvas(8, 6.5, 35, 15);
    EXPECT_TRUE(MainRecordingCard::waveformBars({}, canvas).empty());

    std::vector<std::uint8_t> peaks(80, 0);
    for (int i = 40; i < 45; ++i) peaks[size_t(i)] = 255;  // one loud bin of the sixteen
    const auto bars = MainRecordingCard::waveformBars(peaks, canvas);
    ASSERT_EQ(bars.size(), 16u);
    EXPECT_DOUBLE_EQ(bars.front().left(), 8 + (35 - (16 * 2.2 - 0.7)) / 2);
    EXPECT_DOUBLE_EQ(bars[1].left() - bars[0].left(), 2.2);
    EXPECT_DOUBLE_EQ(bars[8].width(), 1.5);
    EXPECT_DOUBLE_EQ(bars[8].height(), 13);  // the loudest bar, at most 13 high
    EXPECT_DOUBLE_EQ(bars[0].height(), 1.5);  // silence still shows a sliver
    for (const QRectF& bar : bars) EXPECT_DOUBLE_EQ(bar.center().y(), canvas.center().y());
}

}  // namespace
}  // namespace quellor
