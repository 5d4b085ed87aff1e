// The console fader's geometry, drag state machine and colours.
#include <gtest/gtest.h>

#include <cmath>

#include "ui/console/ConsoleColors.h"
#include "ui/console/ConsoleFader.h"

namespace quellor {
namespace {

// 60 × 230 with a 30-point cap: a travel of 200, the cap's centre from 215 (0) up to 15 (1).
const FaderGeometry kFader{60, 230, 30, 10};

TEST(FaderGeometry, TheCapRestsOnTheBottomAtZeroAndTouchesTheTopAtOne) {
    EXPECT_EQ(kFader.travel(), 200);
    EXPECT_EQ(kFader.capRect(0), QRectF(6, 200, 48, 30));
    EXPECT_EQ(kFader.capRect(1), QRectF(6, 0, 48, 30));
    EXPECT_EQ(kFader.capRect(0.5f), QRectF(6, 100, 48, 30));
    EXPECT_EQ(kFader.capCentreY(0.5f), 115);
    EXPECT_EQ(kFader.grooveRect(), QRectF(27, 10, 6, 210));
    EXPECT_EQ(kFader.litGrooveRect(0.5f), QRectF(28.5, 115, 3, 100));
    EXPECT_EQ(kFader.litGrooveRect(0).height(), 0);
    const auto grips = kFader.gripLines(0.5f);
    ASSERT_EQ(grips.size(), 4u);
    EXPECT_EQ(grips[0], QRectF(16, 107.5, 28, 1));
    EXPECT_EQ(grips[3], QRectF(16, 121.5, 28, 1));
    EXPECT_EQ(kFader.indicatorRect(0.5f), QRectF(12, 114, 36, 2));
    EXPECT_EQ(kFader.meterTravel(), 206);
    EXPECT_EQ((FaderGeometry{8, 20, 30, 10}).capRect(1).width(), 0) << "a cap never gets a negative width";
}

TEST(FaderGeometry, TheMeterStandsAlongTheRightEdgeWithItsLampAboveTheColumn) {
    struct Case {
        double width, height;
        QRectF meter;  // column and lamp: 6 in from the right, the column's foot 12 above the bottom
    };
    const Case cases[] = {
        {60, 230, QRectF(49, 5, 5, 213)},  // a column of 206 under the lamp's 7
        {60, 30, QRectF(49, 5, 5, 13)},
        {60, 24, QRectF(49, 3, 5, 9)},     // no travel: the column keeps its least 2 points
        {60, 0, QRectF(49, -21, 5, 9)},
        {8, 230, QRectF(-3, 5, 5, 213)},   // narrower than the inset: it runs off the left edge
    };
    for (const Case& c : cases) {
        const FaderGeometry g{c.width, c.height};
        EXPECT_EQ(g.meterRect(), c.meter) << c.width << " x " << c.height;
    }
}

TEST(FaderGeometry, ScaleMarksReadTheirLabelUnderTheReadoutLaw) {
    for (const FaderScaleEntry& e : kFaderScale) {
        if (e.value == 0) continue;
        EXPECT_FLOAT_EQ(std::round(std::pow(10.0, -std::stod(e.label) / 60) * 1000) / 1000, e.value) << e.label;
    }
    const auto marks = kFader.scaleMarks();
    ASSERT_EQ(marks.size(), 7u);
    EXPECT_EQ(marks[0].label, "0");
    EXPECT_DOUBLE_EQ(marks[0].y, 15);
    EXPECT_EQ(marks[6].label, "∞");
    EXPECT_DOUBLE_EQ(marks[6].y, 215);
    const double y6 = 215 - double(0.794f) * 200;
    EXPECT_EQ(marks[1].tick, QRectF(5, y6 - 0.5, 4, 1));
    EXPECT_EQ(marks[1].softTick, QRectF(37, y6 - 0.5, 3, 1));
    EXPECT_EQ(marks[1].labelAnchor, QPointF(12, y6));
    // No travel: the marks are spaced over one point from the cap's lowest centre, and fit only
    // while they stay below the cap's top half.
    EXPECT_EQ((FaderGeometry{60, 30, 30, 10}).scaleMarks().size(), 7u);
    EXPECT_TRUE((FaderGeometry{60, 20, 30, 10}).scaleMarks().empty());
}

TEST(FaderDrag, CoarseDragsFollowThePointerWithinTheTravel) {
    struct Case {
        double y;
        float value;
    };
    const Case cases[] = {{115, 0.5f}, {15, 1.0f}, {215, 0.0f}, {0, 1.0f}, {230, 0.0f}, {-500, 1.0f}, {NAN, 1.0f}};
    for (const Case& c : cases) {
        FaderDrag drag;
        EXPECT_EQ(drag.changed(kFader, 0.3f, true, c.y, c.y, {}), c.value) << c.y;
        EXPECT_TRUE(drag.isDragging());
        drag.ended();
        EXPECT_FALSE(drag.isDragging());
    }
}

TEST(FaderDrag, FineModeMovesATenthPerTravelFromItsAnchor) {
    FaderDrag drag;
    // Down by half the travel from 0.5 with Alt held.
    EXPECT_FLOAT_EQ(*drag.changed(kFader, 0.5f, true, 215, 115, Qt::AltModifier), 0.45f);
    EXPECT_EQ(drag.fineStart(), (FaderDrag::FineStart{0.5f, 115}));
    // The anchor holds while Alt stays held, whatever value the owner hands back meanwhile.
    EXPECT_FLOAT_EQ(*drag.changed(kFader, 0.45f, true, 15, 115, Qt::AltModifier | Qt::ShiftModifier), 0.55f);
    // Other modifiers are coarse; a coarse change drops the anchor.
    EXPECT_FLOAT_EQ(*drag.changed(kFader, 0.55f, true, 115, 115, Qt::ControlModifier), 0.5f);
    EXPECT_EQ(drag.fineStart(), std::nullopt);
    // Alt pressed in the middle of a drag anchors at the value of that moment and the drag's start.
    EXPECT_FLOAT_EQ(*drag.changed(kFader, 0.8f, true, 55, 115, Qt::AltModifier), 0.83f);
    EXPECT_EQ(drag.fineStart(), (FaderDrag::FineStart{0.8f, 115}));
    EXPECT_EQ(*drag.changed(kFader, 0.99f, true, -10000, 115, Qt::AltModifier), 1.0f);
    drag.ended();
    EXPECT_EQ(drag.fineStart(), std::nullopt);
}

TEST(FaderDrag, WithoutTravelADragReportsFullLevel) {
    for (double height : {30.0, 20.0}) {
        const FaderGeometry flat{60, height, 30, 10};
        for (double y : {0.0, 10.0, 25.0, 40.0})
            for (Qt::KeyboardModifiers modifiers : {Qt::KeyboardModifiers(), Qt::KeyboardModifiers(Qt::AltModifier)}) {
                FaderDrag drag;
                EXPECT_EQ(drag.changed(flat, 0.2f, true, y, 5, modifiers), 1.0f) << height << " " << y;
            }
    }
}

TEST(FaderDrag, AnInactiveFaderIgnoresDragsAndDoubleClicks) {
    FaderDrag drag;
    EXPECT_EQ(drag.changed(kFader, 0.5f, false, 115, 115, {}), std::nullopt);
    EXPECT_FALSE(drag.isDragging());
    EXPECT_EQ(FaderDrag::doubleClicked(false, 1.0f), std::nullopt);
    EXPECT_EQ(FaderDrag::doubleClicked(true, 1.0f), 1.0f);
    EXPECT_EQ(FaderDrag::doubleClicked(true, std::nullopt), std::nullopt);
}

TEST(FaderLook, BorderShowsCueOverDragAndInactiveFadersDrawMuted) {
    for (ThemeMode theme : kAllThemes) {
        SCOPED_TRACE(qPrintable(rawValue(theme)));
        const Palette p = palette(theme);
        const FaderLook cuedDragging = FaderLook::of(theme, true, true, true);
        EXPECT_EQ(cuedDragging.border, cueColor(theme));
        EXPECT_EQ(cuedDragging.borderWidth, 1.5);
        const FaderLook dragging = FaderLook::of(theme, true, false, true);
        EXPECT_EQ(dragging.border, p.brand);
        EXPECT_EQ(dragging.borderWidth, 1.0);
        EXPECT_EQ(FaderLook::of(theme, true, false, false).border, p.hair);
        EXPECT_EQ(dragging.indicator, p.brand);
        EXPECT_EQ(dragging.capLabel, p.textPrimary);
        EXPECT_NEAR(dragging.litBottom.alphaF(), 0.15, 1e-3);
        const FaderLook inactive = FaderLook::of(theme, false, false, false);
        EXPECT_EQ(inactive.indicator, p.textMuted);
        EXPECT_EQ(inactive.capLabel, p.textMuted);
        EXPECT_EQ(inactive.litTop, withOpacity(p.textMuted, 0.5));
        EXPECT_EQ(inactive.litBottom, withOpacity(p.textMuted, 0.1));
        EXPECT_NEAR(inactive.panelBottom.alphaF(), theme == ThemeMode::Daylight ? 0.85 : 0.55, 1e-3);
    }
}

}  // namespace
}  // namespace quellor
