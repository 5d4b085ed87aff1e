// The device page's wiring: a click on a row makes its device the default, a drag reorders the
// stored priority, a drop on the MAIN card makes the device the default output, the side switch, and
// the Bluetooth and banner blocks.
#include <QAbstractButton>
#include <QTest>

#include "PanelsFixture.h"
#include "audio/BluetoothAudioMonitor.h"
#include "audio/DevicePriorityStore.h"
#include "ui/panels/ActiveOutputsSectionWidget.h"
#include "ui/panels/BluetoothRowWidget.h"
#include "ui/panels/DeviceListWidget.h"
#include "ui/panels/DeviceRowWidget.h"
#include "ui/panels/DevicesPageView.h"
#include "ui/panels/DropZoneBoard.h"
#include "ui/panels/InputStripWidget.h"
#include "ui/panels/MixerSourcesPageView.h"
#include "ui/style/ThemeController.h"

namespace quellor::test {
namespace {

class DevicesPageViewTest : public PanelsFixture {
protected:
    std::unique_ptr<DevicesPageView> view(DevicesPageShell shell = {}) {
        auto widget = std::make_unique<DevicesPageView>(DevicesPageView::Mode::Devices, engine(), mappings, themes,
                                                        std::move(shell));
        widget->resize(320, 900);
        widget->show();
        settle();
        return widget;
    }
    QStringList rowUIDs(const DeviceListWidget& list) {
        QStringList uids;
        for (DeviceRowWidget* r : list.rows()) uids << r->device().uid;
        return uids;
    }
    // A point of the window in the coordinates of `row` as it lies now (a dragged row moves under
    // the pointer, as the pointer's place in the window stays).
    static QPoint at(QWidget& row, QPointF windowPoint) { return row.mapFrom(row.window(), windowPoint.toPoint()); }
    // Presses on `row`, moves the pointer to `to` (a point of the window) and releases there.
    static void drag(QWidget& row, QPointF to) {
        const QPoint from(30, 14);
        QTest::mousePress(&row, Qt::LeftButton, {}, from);
        QTest::mouseMove(&row, from + QPoint(0, 8));
        QTest::mouseMove(&row, at(row, to));
        QTest::mouseRelease(&row, Qt::LeftButton, {}, at(row, to));
    }

    QStringList priority() { return DevicePriorityStore{"devicePriority", defaults()}.loadOrder(); }

    ThemeController themes{defaults()};
};

TEST_F(DevicesPageViewTest, AClickOnARowMakesItsDeviceTheDefaultOutput) {
    auto v = view();
    ASSERT_EQ(rowUIDs(v->outputList()), QStringList({"SPK"}));
    QTest::mouseClick(v->outputList().rows()[0], Qt::LeftButton, {}, QPoint(30, 14));
    settle();
    EXPECT_EQ(hardware.defaultOutputDevice(), speakers);
    // The new default output is shown on the MAIN card; the old one is spare now.
    EXPECT_EQ(rowUIDs(v->outputList()), QStringList({"USB-4"}));
}

TEST_F(DevicesPageViewTest, DraggingARowDownReordersTheStoredPriority) {
    addOutputDevice("DAC", 2);
    settle();
    auto v = view();
    const QStringList before = rowUIDs(v->outputList());
    ASSERT_EQ(before.size(), 2);
    QWidget& first = *v->outputList().rows()[0];
    drag(first, DropZoneBoard::windowPoint(first, QPointF(30, 14 + 44)));
    settle();
    EXPECT_EQ(rowUIDs(v->outputList()), QStringList({before[1], before[0]}));
    const QStringList stored = priority();
    EXPECT_LT(stored.indexOf(before[1]), stored.indexOf(before[0]));
    EXPECT_EQ(hardware.defaultOutputDevice(), interface) << "a drag is no click";
}

TEST_F(DevicesPageViewTest, DroppingARowOnTheMainCardMakesItTheDefaultOutput) {
    auto v = view();
    DeviceRowWidget* row = v->outputList().rows()[0];
    const QRectF main = DropZoneBoard::windowFrame(v->outputs().mainCard());
    const QStringList priorityBefore = priority();
    engine().setVolume(0.5f, app(kPlayer));  // a quieter application keeps its tap on any device
    settle();
    const AudioObjectID tapBefore = tapAggregate(kPlayer);
    ASSERT_NE(tapBefore, 0u);

    const QPoint from(30, 14);
    QTest::mousePress(row, Qt::LeftButton, {}, from);
    QTest::mouseMove(row, from + QPoint(0, -8));
    QTest::mouseMove(row, at(*row, main.center()));
    EXPECT_EQ(v->busTarget(), OutputBus::Main);
    EXPECT_TRUE(v->outputs().mainCard().model().showsDropHint);
    QTest::mouseRelease(row, Qt::LeftButton, {}, at(*row, main.center()));
    settle();
    EXPECT_EQ(hardware.defaultOutputDevice(), speakers);
    EXPECT_NE(tapAggregate(kPlayer), 0u);
    EXPECT_NE(tapAggregate(kPlayer), tapBefore) << "the engine rebuilds the tap on the new default";
    EXPECT_EQ(v->busTarget(), std::nullopt);
    EXPECT_EQ(priority(), priorityBefore);
}

TEST_F(DevicesPageViewTest, TheSideSwitchShowsTheInputStripAndTheInputListFromTwoInputs) {
    auto v = view();
    EXPECT_TRUE(v->outputs().isVisibleTo(v.get()));
    v->findChild<QAbstractButton*>("side-input")->click();
    EXPECT_EQ(v->side(), AudioSide::Input);
    EXPECT_FALSE(v->outputs().isVisibleTo(v.get()));
    EXPECT_TRUE(v->inputStrip().isVisibleTo(v.get()));
    EXPECT_FALSE(v->inputList().isVisibleTo(v.get()));

    SimulatedDevice mic;
    mic.uid = mic.name = "MIC-2";
    mic.input.streams = StreamConfiguration{{1}};
    hardware.addDevice(mic);
    settle();
    EXPECT_TRUE(v->inputList().isVisibleTo(v.get()));
    EXPECT_EQ(rowUIDs(v->inputList()).size(), 2);
    EXPECT_EQ(v->inputStrip().contextMenu().front().title, "Learn MIDI fader");
}

TEST_F(DevicesPageViewTest, APairedDeviceRowConnectsItAndTheBannersFollowTheShell) {
    bluetooth.pair({"00-1a-7d-da-71-13", 4, 6, QString("Headset"), false});
    std::optional<QString> staged, available = QString("2.1");
    QStringList bannersMade;
    DevicesPageShell shell{[](QWidget* parent) { return new QWidget(parent); },
                         [&](const QString& version, QWidget* parent) {
                             bannersMade << version;
                             return new QWidget(parent);
                         },
                         [&] { return staged; }, [&] { return available; }};
    auto v = view(std::move(shell));  // showing it lists the paired devices again
    auto* row = v->findChild<BluetoothRowWidget*>();
    ASSERT_TRUE(row);
    EXPECT_EQ(row->device().name, "Headset");
    QTest::mouseClick(row, Qt::LeftButton, {}, QPoint(20, 10));
    EXPECT_TRUE(engine().bluetooth().busy().contains("00-1a-7d-da-71-13"));
    EXPECT_FALSE(row->isEnabled()) << "busy: a second click starts nothing";

    EXPECT_EQ(bannersMade, QStringList({"2.1"}));
    staged = "2.2";
    v->requestRebuild();
    settle();
    EXPECT_EQ(bannersMade, QStringList({"2.1", "2.2"}));
}

TEST_F(DevicesPageViewTest, TheSourcesModeListsTheApplicationsInPlaceOfTheDevices) {
    DevicesPageView v(DevicesPageView::Mode::Sources, engine(), mappings, themes, {});
    v.resize(320, 900);
    v.show();
    settle();
    auto* page = v.findChild<MixerSourcesPageView*>();
    ASSERT_TRUE(page);
    EXPECT_TRUE(page->isVisible());
    EXPECT_EQ(page->rows().size(), engine().processMonitor().apps().size());
    EXPECT_FALSE(v.outputList().isVisible());
    EXPECT_FALSE(v.inputStrip().isVisible());
    // Each row publishes its zone on the view's board, for a dragged device to find.
    EXPECT_EQ(v.dropZones().appZones().zones().size(), page->rows().size());
}

}  // namespace
}  // namespace quellor::test
