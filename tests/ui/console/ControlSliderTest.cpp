// The compact level control of the device panels: geometry, the level a pointer asks for, the
// gesture shared with the icon, its look, and the widget.
#include <gtest/gtest.h>

#include <QMouseEvent>
#include <QTest>
#include <cmath>

#include "TestEnvironment.h"
#include "ui/console/ControlSlider.h"
#include "ui/console/ControlSliderWidget.h"

namespace quellor::test {
namespace {

// 200 × 22: a travel of 178, the knob's centre from 11 (0) to 189 (1).
const ControlSliderGeometry kSlider{200, 22};

TEST(ControlSliderGeometry, FillAndKnobGrowFromTheLeadingEnd) {
    EXPECT_EQ(kSlider.fillRect(0), QRectF(0, 0, 22, 22));
    EXPECT_EQ(kSlider.fillRect(1), QRectF(0, 0, 200, 22));
    EXPECT_EQ(kSlider.knobCentre(0.5f), QPointF(100, 11));
    EXPECT_EQ(kSlider.knobRect(0), kSlider.iconSquare()) << "at 0 the icon sits on the knob";
    EXPECT_TRUE(kSlider.onIconFace({11, 11}));
    EXPECT_TRUE(kSlider.onIconFace({0, 11}));
    EXPECT_FALSE(kSlider.onIconFace({1, 1})) << "the corner of the square";
}

TEST(ControlSliderGeometry, ThePointerSetsTheLevelUnderTheKnobsCentre) {
    struct Case {
        ControlSliderGeometry g;
        double x;
        float level;
    };
    const ControlSliderGeometry barelyWider{23, 22}, asWide{22, 22};
    const Case cases[] = {
        {kSlider, 100, 0.5f},   {kSlider, 11, 0},       {kSlider, 5, 0},          {kSlider, -50, 0},
        {kSlider, 189, 1},      {kSlider, 400, 1},      {kSlider, NAN, 0},        {kSlider, 16, 5.0f / 178},
        {barelyWider, 11, 0},   {barelyWider, 11.5, 0.5f}, {barelyWider, 12, 1},  {asWide, 12, 1},
    };
    for (const Case& c : cases) EXPECT_FLOAT_EQ(c.g.levelAt(c.x), c.level) << c.g.width << " at " << c.x;
}

TEST(ControlSliderGesture, PressesOnTheIconBelongToItUntilThePointerMoves) {
    ControlSliderGesture g;
    // On the track: the press writes at once, and a drag past the ends writes exactly 0 and 1.
    EXPECT_EQ(g.pressed(kSlider, {100, 11}, true), 0.5f);
    EXPECT_TRUE(g.isDragging());
    EXPECT_EQ(g.moved(kSlider, {-40, 11}), 0.0f);
    EXPECT_EQ(g.moved(kSlider, {500, 30}), 1.0f);
    EXPECT_FALSE(g.released(kSlider, {500, 30}));
    EXPECT_FALSE(g.isDragging());

    // On the icon with an action: a tap, and the level stays.
    EXPECT_EQ(g.pressed(kSlider, {6, 11}, true), std::nullopt);
    EXPECT_FALSE(g.isDragging());
    EXPECT_TRUE(g.released(kSlider, {6, 11}));

    // On the icon, then moving: a slider drag from the first movement on, and no tap.
    EXPECT_EQ(g.pressed(kSlider, {6, 11}, true), std::nullopt);
    EXPECT_FLOAT_EQ(*g.moved(kSlider, {60, 11}), 49.0f / 178);
    EXPECT_FALSE(g.released(kSlider, {6, 11}));

    // In the corner of the icon's square: not the slider's, and not the icon's face either.
    EXPECT_EQ(g.pressed(kSlider, {1, 1}, true), std::nullopt);
    EXPECT_FALSE(g.released(kSlider, {1, 1}));

    // Without an action the icon's square is track: x ≤ H/2 sets 0, a little further a small level.
    EXPECT_EQ(g.pressed(kSlider, {6, 11}, false), 0.0f);
    EXPECT_FALSE(g.released(kSlider, {6, 11}));
    EXPECT_FLOAT_EQ(*g.pressed(kSlider, {16, 11}, false), 5.0f / 178);
    g.released(kSlider, {16, 11});

    // Movement without a press writes nothing.
    EXPECT_EQ(g.moved(kSlider, {100, 11}), std::nullopt);
}

TEST(ControlSliderLook, DimmingTouchesOnlyTheIconAndDraggingOnlyTheShadow) {
    const ControlSliderLook rest = ControlSliderLook::of(ColorScheme::Dark, false, false);
    const ControlSliderLook dimmed = ControlSliderLook::of(ColorScheme::Dark, false, true);
    const ControlSliderLook dragging = ControlSliderLook::of(ColorScheme::Dark, true, false);
    EXPECT_NEAR(rest.icon.alphaF(), 0.6, 1e-3);
    EXPECT_NEAR(dimmed.icon.alphaF(), 0.25, 1e-3);
    EXPECT_EQ(rest.knobShadowBlur, 2);
    EXPECT_EQ(dragging.knobShadowBlur, 4);
    EXPECT_EQ(dimmed.track, rest.track);
    EXPECT_EQ(dragging.icon, rest.icon);
}

class ControlSliderWidgetTest : public QuellorTest {
protected:
    ControlSliderWidgetTest() {
        slider.resize(200, 22);
        slider.onLevel = [this](float v) {
            level = v;
            slider.setLevel(v);
        };
        slider.show();
    }
    void move(QPointF to) {
        QMouseEvent event(QEvent::MouseMove, to, slider.mapToGlobal(to), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&slider, &event);
    }
    ControlSliderWidget slider{"speaker.wave.3.fill"};
    float level = 0.25f;
    int taps = 0;
};

TEST_F(ControlSliderWidgetTest, ClicksAndDragsWriteTheLevelAndTheIconRunsItsAction) {
    QTest::mouseClick(&slider, Qt::LeftButton, {}, QPoint(100, 11));
    EXPECT_FLOAT_EQ(level, 0.5f);
    QTest::mousePress(&slider, Qt::LeftButton, {}, QPoint(150, 11));
    move({400, 11});
    QTest::mouseRelease(&slider, Qt::LeftButton, {}, QPoint(400, 11));
    EXPECT_EQ(level, 1.0f);
    EXPECT_EQ(slider.level(), 1.0f);

    slider.onIconTap = [this] { ++taps; };
    QTest::mouseClick(&slider, Qt::LeftButton, {}, QPoint(8, 11));
    EXPECT_EQ(taps, 1);
    EXPECT_EQ(level, 1.0f);
}

}  // namespace
}  // namespace quellor::test
