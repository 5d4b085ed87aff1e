// The source grid as a widget: its tiles, a click reaching the engine's slots, and the tiles
// following the slots and the application list.
#include <QAccessible>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>

#include "EngineFixture.h"
#include "ui/panels/PanelMetrics.h"
#include "ui/panels/SourceGridView.h"
#include "ui/panels/SourceTileWidget.h"
#include "ui/style/ThemeController.h"

namespace quellor::test {
namespace {

class SourceGridViewTest : public EngineFixture {
protected:
    void SetUp() override {
        hardware.setDefaultOutputDevice(addOutputDevice("SPK", 2));
        addApp(101, kPlayer, /*playing*/ false);
        radioProcess = addApp(102, kRadio);
        startEngine();
    }
    std::unique_ptr<SourceGridView> view(QSize size) {
        auto v = std::make_unique<SourceGridView>(engine(), defaults(), themes);
        v->resize(size);
        v->show();
        return v;
    }

    ThemeController themes{defaults()};
    AudioObjectID radioProcess = 0;
};

TEST_F(SourceGridViewTest, AClickPutsTheTileOnTheFirstFreeStripAndTheTileShowsItsNumber) {
    auto v = view({344, 700});
    SourceTileWidget* radio = v->findChild<SourceTileWidget*>("source-tile-" + kRadio);
    ASSERT_TRUE(radio);
    EXPECT_FALSE(radio->faderNumber());
    EXPECT_EQ(radio->toolTip(), "Drag onto a fader, or click to use the first free one.");
    EXPECT_EQ(radio->dragText(), "vesk-app:" + kRadio);
    EXPECT_TRUE(v->tile(kPlayer)->tile().silent);
    EXPECT_FALSE(radio->tile().silent);

    QTest::mouseClick(radio, Qt::LeftButton);
    EXPECT_EQ(engine().consoleSlots()[2], kRadio) << "MAIN and PHONES hold the first two strips";
    settle();
    EXPECT_EQ(v->tile(kRadio), radio) << "the tile keeps its widget";
    EXPECT_EQ(radio->faderNumber(), 3);
    EXPECT_EQ(radio->accessibleName(), "Source " + kRadio + ", strip 3");
    EXPECT_EQ(v->tile("bus:main")->faderNumber(), 1);

    // A tile already on a strip stays there: also by the keyboard.
    radio->setFocus();
    QTest::keyClick(radio, Qt::Key_Space);
    QTest::mouseClick(radio, Qt::LeftButton);
    EXPECT_EQ(engine().consoleSlots().count(kRadio), 1);
    QTest::keyClick(v->tile(kPlayer), Qt::Key_Space);
    EXPECT_EQ(engine().consoleSlots()[3], kPlayer);

    // To assistive technology a tile is a button whose press is the click.
    QAccessibleInterface* input = QAccessible::queryAccessibleInterface(v->tile("system_input"));
    ASSERT_TRUE(input && input->actionInterface());
    EXPECT_EQ(input->role(), QAccessible::Button);
    EXPECT_EQ(input->text(QAccessible::Name), "Source INPUT, not on a strip");
    EXPECT_TRUE(input->actionInterface()->actionNames().contains(QAccessibleActionInterface::pressAction()));
}

TEST_F(SourceGridViewTest, TilesFollowTheApplicationsInColumnsThatFitTheWidth) {
    auto v = view({344, 700});
    const QRect player = v->tile(kPlayer)->geometry();
    const QRect radio = v->tile(kRadio)->geometry();
    const QRect main = v->tile("bus:main")->geometry();
    const QRect input = v->tile("system_input")->geometry();
    // 344 - 28 = 316 points: three columns of 100, in the monitor's order (playing first).
    EXPECT_EQ(radio.width(), 100);
    EXPECT_EQ(radio.left(), PanelMetrics::SourceGrid::kSidePadding);
    EXPECT_EQ(player.left() - radio.right() - 1, 8);
    EXPECT_EQ(radio.top(), player.top());
    EXPECT_GT(main.top(), player.bottom() + PanelMetrics::SourceGrid::kSectionSpacing);
    EXPECT_EQ(input.top(), main.top()) << "MAIN, PHONES and INPUT share a row";

    quitApp(102, radioProcess);
    settle();
    EXPECT_FALSE(v->tile(kRadio));
    ASSERT_TRUE(v->tile(kPlayer));
    EXPECT_EQ(v->tile(kPlayer)->geometry(), radio) << "the rest move up";

    // A narrow column: one tile per row, as wide as the column allows.
    v->resize(120, 700);
    EXPECT_EQ(v->tile("bus:phones")->geometry().left(), PanelMetrics::SourceGrid::kSidePadding);
    EXPECT_GT(v->tile("bus:phones")->geometry().top(), v->tile("bus:main")->geometry().bottom());
}

}  // namespace
}  // namespace quellor::test
