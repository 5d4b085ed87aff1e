// The application row's wiring: its slider and speaker reach the engine, a listed device's remove
// button stops playing there, the row is its application's drop zone, and the icon drags the
// application's text.
#include <QLabel>
#include <QMimeData>
#include <QTest>
#include <QToolButton>

#include "PanelsFixture.h"
#include "ui/console/ControlSliderWidget.h"
#include "ui/panels/AppRowWidget.h"
#include "ui/panels/DropZoneBoard.h"
#include "ui/panels/LevelRowWidget.h"
#include "ui/style/ThemeController.h"

namespace quellor::test {
namespace {

class AppRowWidgetTest : public PanelsFixture {
protected:
    std::unique_ptr<AppRowWidget> row(const QString& id) {
        auto widget = std::make_unique<AppRowWidget>(engine(), mappings, themes, &board);
        widget->setApp(app(id));
        widget->resize(260, 120);
        widget->show();
        return widget;
    }

    ThemeController themes{defaults()};
    DropZoneBoard board;
};

TEST_F(AppRowWidgetTest, TheSliderAndItsSpeakerReachTheApplicationsLevel) {
    auto r = row(kPlayer);
    auto* slider = r->findChild<ControlSliderWidget*>("app-row-slider");
    auto* level = r->findChild<QLabel*>("app-row-level");
    ASSERT_TRUE(slider && level);
    EXPECT_EQ(level->text(), "100%");

    QTest::mouseClick(slider, Qt::LeftButton, {}, QPoint(slider->width() / 2, 11));
    const float volume = engine().appVolume(app(kPlayer)).volume;
    EXPECT_GT(volume, 0.4f);
    EXPECT_LT(volume, 0.6f);
    QTest::mouseClick(slider, Qt::LeftButton, {}, QPoint(11, 11));  // the speaker
    EXPECT_TRUE(engine().appVolume(app(kPlayer)).isMuted);
    EXPECT_FLOAT_EQ(engine().appVolume(app(kPlayer)).volume, volume) << "the speaker leaves the level";
    settle();
    EXPECT_EQ(level->text(), "muted");
}

TEST_F(AppRowWidgetTest, ListedDevicesReplaceTheSliderAndTheirButtonStopsPlayingThere) {
    engine().addOutput(outputDevice("SPK"), app(kPlayer));
    engine().addOutput(outputDevice("USB-4"), app(kPlayer));
    settle();
    auto r = row(kPlayer);
    EXPECT_FALSE(r->findChild<QWidget*>("app-row-slider")->isVisibleTo(r.get()));
    EXPECT_FALSE(r->findChild<QWidget*>("app-row-level")->isVisibleTo(r.get()));
    QStringList names;
    for (auto* name : r->findChildren<QLabel*>("app-row-output-name")) names << name->text();
    EXPECT_EQ(names, (QStringList{"SPK", "USB-4"}));
    auto levels = r->findChildren<LevelRowWidget*>();
    ASSERT_EQ(levels.size(), 2);
    EXPECT_EQ(levels[0]->control(), engine().volumeControl("SPK"));

    auto removes = r->findChildren<QToolButton*>("app-row-output-remove");
    ASSERT_EQ(removes.size(), 2);
    EXPECT_EQ(removes[0]->toolTip(), "Stop playing to this device");
    QTest::mouseClick(removes[0], Qt::LeftButton);
    EXPECT_EQ(engine().outputDeviceUIDs(app(kPlayer)), QStringList{"USB-4"});
    settle();
    names.clear();
    for (auto* name : r->findChildren<QLabel*>("app-row-output-name")) names << name->text();
    EXPECT_EQ(names, QStringList{"USB-4"});
}

TEST_F(AppRowWidgetTest, TheRowIsItsApplicationsZoneAndItsIconDragsTheApplication) {
    auto r = row(kPlayer);
    auto other = row(kRadio);
    other->move(0, 200);
    AppRouteZones zones = board.appZones();
    ASSERT_EQ(zones.zones().size(), 2u);
    EXPECT_EQ(zones.zones().at(kPlayer), DropZoneBoard::windowFrame(*r));

    r->setApp(app(kRadio));  // the row now shows another application
    zones = board.appZones();
    EXPECT_EQ(zones.zones().count(kPlayer), 0u);
    EXPECT_EQ(zones.zones().at(kRadio), DropZoneBoard::windowFrame(*r)) << "the later row wins";

    EXPECT_EQ(r->dragData()->text(), "vesk-app:com.example.radio");
    r->setRouteTarget(true);
    EXPECT_TRUE(r->model().isRouteTarget);
}

}  // namespace
}  // namespace quellor::test
