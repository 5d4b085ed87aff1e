// The fader widget forwards the mouse to the drag logic and its values to the engine; its meter
// column reads the strip's level on the shared clock and repaints only itself.
#include <QApplication>
#include <QMouseEvent>
#include <QTest>

#include "ConsoleFixture.h"
#include "ui/console/ConsoleFaderWidget.h"
#include "ui/console/MeterBarWidget.h"
#include "ui/style/ThemeController.h"

namespace quellor::test {
namespace {

class ConsoleFaderWidgetTest : public ConsoleFixture {
protected:
    // A fader on the player's strip: 60 × 230 with its 30-point cap gives a travel of 200, the cap's
    // centre at y = 215 − 200 × value.
    void SetUp() override {
        ConsoleFixture::SetUp();
        fader = std::make_unique<ConsoleFaderWidget>(clock, themes);
        fader->resize(60, 230);
        fader->show();
        follow();
    }
    // What the strip does on every rebuild: hands the fader its model's state and setter.
    void follow() {
        StripModel m = model(kPlayer);
        fader->setState({m.volume, m.isActive, m.isCued, m.resetValue});
        fader->setOnChange(m.setVolume);
        fader->setMeter(m.meter);
    }
    // A move with the button held and `modifiers` (QTest's moves carry no modifiers).
    void dragTo(QPoint p, Qt::KeyboardModifiers modifiers) {
        QMouseEvent move(QEvent::MouseMove, p, fader->mapToGlobal(p), Qt::NoButton, Qt::LeftButton, modifiers);
        QApplication::sendEvent(fader.get(), &move);
    }
    float playerVolume() { return engine().appVolume(app(kPlayer)).volume; }

    ThemeController themes{defaults()};
    MeterRepaintClock clock;
    std::unique_ptr<ConsoleFaderWidget> fader;
};

TEST_F(ConsoleFaderWidgetTest, ADragMovesTheApplicationsVolumeAndADoubleClickResetsIt) {
    QTest::mousePress(fader.get(), Qt::LeftButton, {}, QPoint(30, 115));
    EXPECT_FLOAT_EQ(playerVolume(), 0.5f) << "a press puts the cap's centre under the pointer";
    EXPECT_TRUE(fader->drag().isDragging());
    dragTo(QPoint(30, 165), {});
    EXPECT_FLOAT_EQ(playerVolume(), 0.25f);
    QTest::mouseRelease(fader.get(), Qt::LeftButton, {}, QPoint(30, 165));
    EXPECT_FALSE(fader->drag().isDragging());
    follow();
    EXPECT_FLOAT_EQ(fader->state().value, 0.25f);

    // Alt: a move over the whole travel changes the value by a tenth, anchored where it began.
    QTest::mousePress(fader.get(), Qt::LeftButton, Qt::AltModifier, QPoint(30, 100));
    dragTo(QPoint(30, 200), Qt::AltModifier);
    QTest::mouseRelease(fader.get(), Qt::LeftButton, Qt::AltModifier, QPoint(30, 200));
    EXPECT_NEAR(playerVolume(), 0.2f, 1e-6);

    follow();
    QTest::mouseDClick(fader.get(), Qt::LeftButton, {}, QPoint(30, 215));
    EXPECT_FLOAT_EQ(playerVolume(), 1.0f) << "the application's reset value";
}

TEST_F(ConsoleFaderWidgetTest, AnInactiveFaderIgnoresTheMouse) {
    quitApp(101, playerProcess);
    settle();
    follow();
    ASSERT_FALSE(fader->state().isActive);
    const AppVolumeMap before = engine().volumes();
    QTest::mousePress(fader.get(), Qt::LeftButton, {}, QPoint(30, 200));
    QTest::mouseRelease(fader.get(), Qt::LeftButton, {}, QPoint(30, 200));
    QTest::mouseDClick(fader.get(), Qt::LeftButton, {}, QPoint(30, 200));
    EXPECT_FALSE(fader->drag().isDragging());
    EXPECT_EQ(engine().volumes(), before);
}

TEST_F(ConsoleFaderWidgetTest, TheMeterColumnFollowsTheLevelOnTheClockAlongTheRightEdge) {
    MeterBarWidget* meter = fader->meter();
    // 230 high: a column of 206 and the lamp's 7 above it, its foot 12 above the fader's bottom,
    // 6 in from the right edge.
    EXPECT_EQ(meter->geometry(), QRect(60 - 6 - 5, 230 - 12 - 213, 5, 213));
    float level = 0.5f;
    fader->setMeter([&level] { return level; });
    advance(MeterRepaintClock::kInterval);
    EXPECT_DOUBLE_EQ(meter->column().barHeight, 0.5 * 206);
    EXPECT_EQ(meter->column().barOpacity, 1);
    level = 0.99f;
    advance(MeterRepaintClock::kInterval);
    EXPECT_EQ(meter->column().lampOpacity, 1);

    // A tick asks for a repaint of the meter's own rectangle and of nothing else of the fader.
    ASSERT_TRUE(QTest::qWaitForWindowExposed(fader.get()));
    QCoreApplication::processEvents();
    struct PaintSpy : QObject {
        QRegion painted;
        bool eventFilter(QObject*, QEvent* e) override {
            if (e->type() == QEvent::Paint) painted += static_cast<QPaintEvent*>(e)->region();
            return false;
        }
    } onFader, onMeter;
    fader->installEventFilter(&onFader);
    meter->installEventFilter(&onMeter);
    level = 0.3f;
    advance(MeterRepaintClock::kInterval);
    QCoreApplication::processEvents();
    EXPECT_EQ(onMeter.painted.boundingRect(), meter->rect());
    // The fader paints only what lies under its (see-through) meter.
    EXPECT_TRUE(onFader.painted.isEmpty() || meter->geometry().contains(onFader.painted.boundingRect()))
        << "the fader itself was repainted";
    // An unchanged picture asks for nothing.
    fader->setMeter([] { return 0.0f; });
    advance(10.0);
    QCoreApplication::processEvents();
    onMeter.painted = onFader.painted = {};
    advance(MeterRepaintClock::kInterval);
    QCoreApplication::processEvents();
    EXPECT_TRUE(onMeter.painted.isEmpty());
    EXPECT_TRUE(onFader.painted.isEmpty());
}

TEST_F(ConsoleFaderWidgetTest, TheMeterListensToTheClockOnlyWhileItsWindowIsShown) {
    MeterBarWidget* meter = fader->meter();
    fader->setMeter([] { return 0.5f; });
    EXPECT_TRUE(clock.isRunning());

    // A closed window's meter neither reads its level nor keeps the clock going.
    fader->hide();
    EXPECT_FALSE(clock.isRunning());
    advance(MeterRepaintClock::kInterval);
    EXPECT_EQ(meter->column().barOpacity, 0);

    // Shown again, it reads on the next tick.
    fader->show();
    EXPECT_TRUE(clock.isRunning());
    advance(MeterRepaintClock::kInterval);
    EXPECT_DOUBLE_EQ(meter->column().barHeight, 0.5 * 206);
}

}  // namespace
}  // namespace quellor::test
