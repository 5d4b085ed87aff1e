// The two-position switch of the cards: its look, what each click asks for, its row, and the widget.
#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>

#include "TestEnvironment.h"
#include "ui/console/ConsoleColors.h"
#include "ui/console/SlideSwitch.h"
#include "ui/console/SlideSwitchWidget.h"
#include "ui/style/ThemeController.h"

namespace quellor::test {
namespace {

TEST(SlideSwitchLook, TheSelectedSideLightsItsLampInTheOwnersColour) {
    const QColor lamp(0x30, 0xD1, 0x58);
    const Palette p = palette(ThemeMode::Booth);
    for (bool isRight : {false, true}) {
        const SlideSwitchLook look = SlideSwitchLook::of(isRight, lamp, ThemeMode::Booth);
        const SlideSwitchLook::Option& lit = isRight ? look.right : look.left;
        const SlideSwitchLook::Option& unlit = isRight ? look.left : look.right;
        EXPECT_TRUE(lit.selected);
        EXPECT_EQ(lit.lamp, lamp);
        EXPECT_EQ(lit.glow, withOpacity(lamp, 0.9));
        EXPECT_EQ(lit.text, p.textPrimary);
        EXPECT_FALSE(unlit.selected);
        EXPECT_EQ(unlit.lamp, p.hair);
        EXPECT_EQ(unlit.glow.alpha(), 0);
        EXPECT_EQ(unlit.text, p.textMuted);
    }
}

TEST(SlideSwitchLook, TheKnobTravels24PointsAndCarriesCentredGrips) {
    EXPECT_EQ(SlideSwitchLook::knobRect(0), QRectF(2, 3, 22, 14));
    EXPECT_EQ(SlideSwitchLook::knobRect(1), QRectF(26, 3, 22, 14));
    EXPECT_EQ(SlideSwitchLook::knobRect(1.2), QRectF(26, 3, 22, 14)) << "an overshooting slide stays in the track";
    const auto grips = SlideSwitchLook::gripLines(SlideSwitchLook::knobRect(0));
    EXPECT_EQ(grips[0], QRectF(9.5, 5.5, 1, 9));
    EXPECT_EQ(grips[2], QRectF(15.5, 5.5, 1, 9));
}

TEST(SlideSwitch, OptionsAskForThemselvesAndTheSwitchForTheOtherSide) {
    struct Case {
        SlideSwitchPart part;
        bool isRight, asks;
    };
    const Case cases[] = {
        {SlideSwitchPart::LeftOption, false, false}, {SlideSwitchPart::LeftOption, true, false},
        {SlideSwitchPart::RightOption, false, true}, {SlideSwitchPart::RightOption, true, true},
        {SlideSwitchPart::Switch, false, true},      {SlideSwitchPart::Switch, true, false},
    };
    for (const Case& c : cases) EXPECT_EQ(requestedPosition(c.part, c.isRight), c.asks) << int(c.part) << c.isRight;
}

TEST(SlideSwitchGeometry, TheRowGrowsWithItsTextsAndBeginsWithTheCaptionWhenThereIsOne) {
    const SlideSwitchGeometry bare = SlideSwitchGeometry::of(std::nullopt, 20, 30, 12);
    EXPECT_EQ(bare.caption, std::nullopt);
    EXPECT_EQ(bare.leftOption, QRectF(0, 4, 30, 12));
    EXPECT_EQ(bare.track, QRectF(38, 0, 50, 20));
    EXPECT_EQ(bare.rightOption, QRectF(96, 4, 40, 12));
    EXPECT_EQ(bare.width, 136);
    const SlideSwitchGeometry captioned = SlideSwitchGeometry::of(40, 200, 30, 12);
    EXPECT_EQ(captioned.caption, QRectF(0, 4, 40, 12));
    EXPECT_EQ(captioned.leftOption.left(), 48);
    EXPECT_EQ(captioned.width, 48 + 210 + 8 + 50 + 8 + 40) << "a long text is laid out whole";
}

class SlideSwitchWidgetTest : public QuellorTest {
protected:
    ThemeController themes{defaults()};
    QList<bool> requests;
    SlideSwitchWidget widget{themes,
                             {"PRE", "POST", false, QColor(Qt::green), "Meter source", "meter-switch",
                              "Meters read before the fader (PRE) or after it (POST)", QString("METER"), Qt::gray,
                              [this](bool right) { requests << right; }}};
};

TEST_F(SlideSwitchWidgetTest, ClicksReachTheOwnerWhoMovesTheSwitch) {
    widget.show();
    EXPECT_EQ(widget.switchPart()->objectName(), "meter-switch");
    EXPECT_EQ(widget.switchPart()->accessibleName(), "Meter source");
    EXPECT_EQ(widget.switchPart()->toolTip(), "Meters read before the fader (PRE) or after it (POST)");
    EXPECT_EQ(widget.rightOption()->accessibleName(), "POST");
    EXPECT_GT(widget.leftOption()->x(), 0) << "after the caption";

    QTest::mouseClick(widget.switchPart(), Qt::LeftButton);
    QTest::mouseClick(widget.leftOption(), Qt::LeftButton);
    QTest::mouseClick(widget.rightOption(), Qt::LeftButton);
    EXPECT_EQ(requests, QList<bool>({true, false, true}));
    EXPECT_FALSE(widget.isRight()) << "only the owner moves it";
    widget.setRight(true);
    QTest::mouseClick(widget.switchPart(), Qt::LeftButton);
    EXPECT_EQ(requests.last(), false);

    widget.setEnabled(false);
    QTest::mouseClick(widget.switchPart(), Qt::LeftButton);
    EXPECT_EQ(requests.size(), 4);
}

}  // namespace
}  // namespace quellor::test
