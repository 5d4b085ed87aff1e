// The tray's recording item: its menu follows the engine's recording, its stop command ends the
// recording, "Show Quellor" brings the window back, and its icon is the recording card.
#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>
#include <QTemporaryDir>

#include "EngineFixture.h"
#include "FakeRecorder.h"
#include "app/RecordingStatusItem.h"
#include "app/RecordingTray.h"
#include "recording/MixRecorder.h"
#include "ui/settings/LatestRecordingModel.h"

using namespace quellor;

namespace {

class RecordingTrayTest : public test::EngineFixture {
protected:
    RecordingTrayTest() {
        engine().setRecorder(&recorder);
        hardware.setDefaultOutputDevice(addOutputDevice("speakers", 2));
        startEngine();
        item.setEngine(&engine());
    }
    // How many pixels of the icon are mostly red (the recording outline and dot).
    int reddish() const {
        const QImage image = tray->image().convertToFormat(QImage::Format_ARGB32);
        int count = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const QColor c = image.pixelColor(x, y);
                count += c.alpha() > 200 && c.red() > 200 && c.green() < 130 && c.blue() < 130;
            }
        return count;
    }

    test::FakeRecorder recorder{[this] { return hardware.io().hostTimeNow(); }};
    MixRecorder mixRecorder;
    QTemporaryDir folder;
    LatestRecordingModel recordings{
        LatestRecordingModel::Folders{[] { return std::nullopt; }, [this] { return folder.path(); }, [](const auto&) {}},
        [](std::function<void()> job) { job(); }};
    RecordingStatusItem item;
    int shows = 0;
    std::unique_ptr<RecordingTray> tray =
        std::make_unique<RecordingTray>(item, engine(), mixRecorder, recordings, [this] { ++shows; }, false);
};

TEST_F(RecordingTrayTest, TheMenuFollowsTheRecordingAndItsStopEndsIt) {
    QMenu& menu = tray->menu();
    QStringList titles;
    for (QAction* a : menu.actions()) titles << (a->isSeparator() ? "—" : a->text());
    EXPECT_EQ(titles, QStringList({"Recording — 00:00", "Stop Recording", "—", "Show Quellor"}));
    EXPECT_FALSE(tray->elapsedAction().isVisible()) << "no elapsed time while nothing records";
    EXPECT_FALSE(tray->stopAction().isEnabled());
    const int idleRed = reddish();

    engine().startRecording();
    ASSERT_TRUE(engine().isRecording());
    EXPECT_TRUE(tray->elapsedAction().isVisible());
    EXPECT_FALSE(tray->elapsedAction().isEnabled()) << "a line to read, not a command";
    EXPECT_EQ(tray->elapsedAction().data().toInt(), RecordingStatusItem::kElapsedTimeTag);
    EXPECT_TRUE(tray->stopAction().isEnabled());
    EXPECT_GT(reddish(), idleRed + 40) << "the card's outline turns red";

    tray->elapsedAction().setText("stale");
    emit menu.aboutToShow();
    EXPECT_EQ(tray->elapsedAction().text(), "Recording — 00:00") << "refreshed as the menu opens";

    tray->stopAction().trigger();
    EXPECT_FALSE(engine().isRecording());
    EXPECT_FALSE(tray->stopAction().isEnabled());
    EXPECT_EQ(reddish(), idleRed);

    menu.actions().back()->trigger();
    EXPECT_EQ(shows, 1);
    EXPECT_EQ(tray->trayIcon(), nullptr) << "asked for no tray";
}

}  // namespace
