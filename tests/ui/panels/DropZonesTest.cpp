// The buses and their drop zones: naming a bus, merging published zones, and hit-testing a dragged
// device against them; a device dropped on an application's row.
#include <QHash>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>
#include <gtest/gtest.h>

#include "PanelsFixture.h"
#include "ui/panels/DropZoneBoard.h"
#include "ui/panels/DropZones.h"

namespace quellor::test {
namespace {

TEST(OutputBusTest, RawValuesNamesAndRouteIds) {
    EXPECT_EQ(std::vector<OutputBus>(kAllOutputBuses.begin(), kAllOutputBuses.end()),
              (std::vector<OutputBus>{OutputBus::Main, OutputBus::Phones}));
    struct Case { OutputBus bus; const char* raw; const char* name; const char* route; };
    for (const Case& c : {Case{OutputBus::Main, "main", "MAIN", "bus:main"},
                          Case{OutputBus::Phones, "phones", "PHONES", "bus:phones"}}) {
        EXPECT_EQ(rawValue(c.bus), c.raw);
        EXPECT_EQ(outputBusFromRawValue(c.raw), c.bus);
        EXPECT_EQ(displayName(c.bus), c.name);
        EXPECT_EQ(routeID(c.bus), c.route);
        EXPECT_EQ(qHash(c.bus, 7), qHash(QString(c.raw), 7));
    }
    for (const char* other : {"Main", "PHONES", " main", "main ", "", "bus:main"})
        EXPECT_EQ(outputBusFromRawValue(other), std::nullopt) << other;
}

TEST(DropZonesTest, NoZoneIsNoTarget) {
    BusZones zones;
    EXPECT_TRUE(zones.empty());
    EXPECT_EQ(zones.hit({10, 10}), std::nullopt);
    EXPECT_EQ(AppRouteZones().hit({0, 0}), std::nullopt);
}

TEST(DropZonesTest, ALaterZoneOfTheSameKeyReplacesTheEarlierAndOtherKeysStay) {
    BusZones first;
    first.publish(OutputBus::Main, {0, 0, 100, 50});
    first.publish(OutputBus::Phones, {0, 60, 100, 50});
    BusZones later;
    later.publish(OutputBus::Main, {200, 0, 100, 50});
    first.merge(later);
    ASSERT_EQ(first.zones().size(), 2u);
    EXPECT_EQ(first.zones().at(OutputBus::Main), QRectF(200, 0, 100, 50));
    EXPECT_EQ(first.hit({250, 25}), OutputBus::Main);
    EXPECT_EQ(first.hit({50, 25}), std::nullopt) << "the old MAIN frame is no zone any more";
    EXPECT_EQ(first.hit({50, 80}), OutputBus::Phones);

    first.publish(OutputBus::Phones, {0, 0, 10, 10});
    EXPECT_EQ(first.zones().at(OutputBus::Phones), QRectF(0, 0, 10, 10));
    first.withdraw(OutputBus::Phones);
    EXPECT_EQ(first.hit({5, 5}), std::nullopt);
}

TEST(DropZonesTest, OverlappingZonesAnswerMainBeforePhonesAndApplicationsInKeyOrder) {
    // Published in the opposite order: the answer does not depend on it.
    BusZones buses;
    buses.publish(OutputBus::Phones, {0, 0, 100, 100});
    buses.publish(OutputBus::Main, {50, 50, 100, 100});
    EXPECT_EQ(buses.hit({75, 75}), OutputBus::Main);
    EXPECT_EQ(buses.hit({25, 25}), OutputBus::Phones);
    EXPECT_EQ(buses.hit({150, 150}), OutputBus::Main) << "edges belong to the zone";

    AppRouteZones apps;
    apps.publish("org.zeta", {0, 0, 100, 30});
    apps.publish("com.alpha", {0, 20, 100, 30});
    EXPECT_EQ(apps.hit({10, 25}), "com.alpha");
    EXPECT_EQ(apps.hit({10, 5}), "org.zeta");
    EXPECT_EQ(apps.hit({10, 80}), std::nullopt);
}

TEST(DropZoneBoardTest, AZoneIsOnlyTheVisiblePartOfItsView) {
    // A 40-pixel header over a 100-pixel scrolled page whose content holds two 60-pixel rows.
    QWidget window;
    window.setFixedSize(200, 140);
    auto* header = new QWidget(&window);
    header->setGeometry(0, 0, 200, 40);
    auto* page = new QScrollArea(&window);
    page->setGeometry(0, 40, 200, 100);
    page->setFrameShape(QFrame::NoFrame);
    page->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    page->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    auto* content = new QWidget;
    content->setFixedSize(200, 300);
    auto* first = new QWidget(content);
    first->setGeometry(0, 0, 200, 60);
    auto* second = new QWidget(content);
    second->setGeometry(0, 200, 200, 60);
    page->setWidget(content);
    DropZoneBoard board;
    board.putBus(first, OutputBus::Main);
    board.putApp(second, "com.alpha");
    window.show();

    EXPECT_EQ(board.busZones().zones().at(OutputBus::Main), QRectF(0, 40, 200, 60));
    EXPECT_TRUE(board.appZones().empty()) << "a row below the page's bottom edge";

    page->verticalScrollBar()->setValue(30);
    EXPECT_EQ(board.busZones().zones().at(OutputBus::Main), QRectF(0, 40, 200, 30));
    EXPECT_EQ(board.busZones().hit({100, 20}), std::nullopt) << "over the header, where the card lies hidden";

    page->verticalScrollBar()->setValue(200);
    EXPECT_TRUE(board.busZones().empty()) << "scrolled out of sight";
    EXPECT_EQ(board.appZones().zones().at("com.alpha"), QRectF(0, 40, 200, 60));
}

using DeviceRouteTest = PanelsFixture;

TEST_F(DeviceRouteTest, ADeviceDroppedOnARowIsAddedToThatApplicationsOutputsOnce) {
    const AudioDevice speakerDevice = outputDevice("SPK");
    EXPECT_TRUE(routeDeviceToApp(engine(), kPlayer, speakerDevice));
    EXPECT_TRUE(routeDeviceToApp(engine(), kPlayer, speakerDevice));
    EXPECT_EQ(engine().outputDeviceUIDs(app(kPlayer)), QStringList{"SPK"});
    EXPECT_TRUE(engine().outputDeviceUIDs(app(kRadio)).isEmpty());
    EXPECT_NE(tapAggregate(kPlayer), 0u) << "the application plays to its new output";
}

TEST_F(DeviceRouteTest, AnApplicationThatQuitDuringTheDragIsNoTarget) {
    const AudioDevice speakerDevice = outputDevice("SPK");
    quitApp(102, radioProcess);
    settle();
    EXPECT_FALSE(routeDeviceToApp(engine(), kRadio, speakerDevice));
    EXPECT_FALSE(routeDeviceToApp(engine(), "com.example.never", speakerDevice));
    EXPECT_TRUE(engine().volumes().empty());
}

}  // namespace
}  // namespace quellor::test
