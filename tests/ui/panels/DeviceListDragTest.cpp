// The drag of a device list's rows: the reorder preview, the drop on a bus or an application zone,
// and a list that changes under the drag.
#include <gtest/gtest.h>

#include "ui/panels/DeviceListDrag.h"

namespace quellor::test {
namespace {

AudioDevice device(const QString& uid) {
    AudioDevice d;
    d.uid = d.name = uid;
    return d;
}

std::vector<AudioDevice> devices(const QStringList& uids) {
    std::vector<AudioDevice> list;
    for (const QString& uid : uids) list.push_back(device(uid));
    return list;
}

// Zones right of the list: MAIN over PHONES (overlapping by 10), an application below.
const QRectF kMainZone(500, 0, 200, 100);
const QRectF kPhonesZone(500, 90, 200, 100);
const QRectF kAppZone(500, 300, 200, 40);
const QPointF kOverMain(600, 50), kOverBoth(600, 95), kOverPhones(600, 150), kOverApp(600, 320), kNowhere(100, 0);

class DeviceListDragTest : public ::testing::Test {
protected:
    DeviceListDrag::Owner owner(bool busDrops = true, bool routeDrops = true) {
        DeviceListDrag::Owner o;
        o.busZones = [] {
            BusZones z;
            z.publish(OutputBus::Phones, kPhonesZone);
            z.publish(OutputBus::Main, kMainZone);
            return z;
        };
        o.appZones = [] {
            AppRouteZones z;
            z.publish("com.example.player", kAppZone);
            return z;
        };
        o.onBusHover = [this](std::optional<OutputBus> bus) { busHovers.push_back(bus); };
        if (busDrops)
            o.onBusAssign = [this](OutputBus bus, const AudioDevice& d) { assigned.push_back({bus, d.uid}); };
        o.onRouteHover = [this](std::optional<QString> id) { routeHover = id; };
        if (routeDrops) o.onRoute = [this](const QString& id, const AudioDevice& d) { routed.push_back({id, d.uid}); };
        o.applyOrder = [this](const QStringList& uids, const QString& moved) { orders.push_back({uids, moved}); };
        return o;
    }

    std::vector<std::optional<OutputBus>> busHovers;
    std::optional<QString> routeHover;
    std::vector<std::pair<OutputBus, QString>> assigned;
    std::vector<std::pair<QString, QString>> routed;
    std::vector<std::pair<QStringList, QString>> orders;
};

TEST_F(DeviceListDragTest, TheVisibleListKeepsTheMonitorsOrderWithoutTheExcludedDevices) {
    const auto all = devices({"a", "b", "c", "d"});
    auto uids = [](const std::vector<AudioDevice>& list) {
        QStringList out;
        for (const auto& d : list) out << d.uid;
        return out;
    };
    EXPECT_EQ(uids(DeviceListDrag::visibleDevices(all, {})), QStringList({"a", "b", "c", "d"}));
    EXPECT_EQ(uids(DeviceListDrag::visibleDevices(all, {"c", "a", "zz"})), QStringList({"b", "d"}));
}

TEST_F(DeviceListDragTest, TheTargetRoundsTheDragToWholeRowsAndStaysInTheList) {
    struct Case {
        QString dragged;
        double translation;
        int target;
    };
    const Case cases[] = {
        {"a", 44, 1}, {"b", 200, 2}, {"b", -200, 0}, {"a", 15, 1}, {"a", 14.9, 0}, {"b", -15, 0}, {"b", -14.9, 1},
    };
    for (const Case& c : cases) {
        DeviceListDrag drag(owner());
        drag.setDevices(devices({"a", "b", "c"}));
        drag.moved(c.dragged, c.translation, kNowhere);
        EXPECT_EQ(drag.targetIndex(), c.target) << qPrintable(c.dragged) << " by " << c.translation;
    }
}

TEST(DeviceListHeight, RowsOneUnderTheOtherWithNoSpacingBelowTheLast) {
    EXPECT_EQ(DeviceListDrag::listHeight(0), 0);
    EXPECT_EQ(DeviceListDrag::listHeight(1), 28);
    EXPECT_EQ(DeviceListDrag::listHeight(3), 88);
}

TEST_F(DeviceListDragTest, ADragOfOneRowSlidesTheRowsBetweenAndReordersOnRelease) {
    DeviceListDrag drag(owner());
    drag.setDevices(devices({"a", "b", "c"}));
    drag.moved("a", 44, kNowhere);
    EXPECT_EQ(drag.rowOffset(0), 44);
    EXPECT_EQ(drag.rowOffset(1), -30);
    EXPECT_EQ(drag.rowOffset(2), 0);
    // The dragged row follows the pointer; the row it passed takes its place.
    EXPECT_EQ(drag.rowTop(0), 44);
    EXPECT_EQ(drag.rowTop(1), 0);
    EXPECT_EQ(drag.rowTop(2), 60);
    EXPECT_TRUE(drag.suppressesHover("b"));
    EXPECT_FALSE(drag.suppressesHover("a"));

    drag.finished("a", kNowhere);
    ASSERT_EQ(orders.size(), 1u);
    EXPECT_EQ(orders[0].first, QStringList({"b", "a", "c"}));
    EXPECT_EQ(orders[0].second, "a");
    EXPECT_FALSE(drag.draggedUID());
    EXPECT_EQ(drag.rowOffset(1), 0);

    // Upwards, the rows between move down.
    drag.moved("c", -60, kNowhere);
    EXPECT_EQ(drag.rowOffset(0), 30);
    EXPECT_EQ(drag.rowOffset(1), 30);
    drag.finished("c", kNowhere);
    EXPECT_EQ(orders.back().first, QStringList({"c", "a", "b"}));

    // A release where it started stores nothing.
    drag.moved("b", 10, kNowhere);
    drag.finished("b", kNowhere);
    EXPECT_EQ(orders.size(), 2u);
}

TEST_F(DeviceListDragTest, OverABusZoneNothingIsPreviewedAndTheReleaseAssignsInsteadOfReordering) {
    DeviceListDrag drag(owner());
    drag.setDevices(devices({"a", "b", "c"}));
    drag.moved("a", 90, kOverBoth);  // MAIN wins where the zones overlap
    EXPECT_EQ(drag.hoveredBus(), OutputBus::Main);
    EXPECT_EQ(drag.rowOffset(1), 0);
    EXPECT_EQ(drag.rowOffset(2), 0);
    drag.moved("a", 95, kOverMain);
    drag.moved("a", 150, kOverPhones);
    EXPECT_EQ(busHovers, (std::vector<std::optional<OutputBus>>{OutputBus::Main, OutputBus::Phones}))
        << "told on a change only";

    drag.finished("a", kOverMain);
    ASSERT_EQ(assigned.size(), 1u);
    EXPECT_EQ(assigned[0], std::make_pair(OutputBus::Main, QString("a")));
    EXPECT_TRUE(orders.empty());
    EXPECT_EQ(busHovers.back(), std::nullopt) << "the highlight is cleared";
}

TEST_F(DeviceListDragTest, WithoutABusOwnerBusZonesCountForNothing) {
    DeviceListDrag drag(owner(/*busDrops*/ false));
    drag.setDevices(devices({"a", "b", "c"}));
    drag.moved("a", 44, kOverMain);
    EXPECT_FALSE(drag.hoveredBus());
    EXPECT_EQ(drag.rowOffset(1), -30);
    drag.finished("a", kOverMain);
    ASSERT_EQ(orders.size(), 1u);
    EXPECT_TRUE(busHovers.empty());
}

TEST_F(DeviceListDragTest, ApplicationZonesRouteOrHoldTheRowWhereItWas) {
    for (bool routeDrops : {true, false}) {
        routed.clear();
        orders.clear();
        DeviceListDrag drag(owner(true, routeDrops));
        drag.setDevices(devices({"a", "b", "c"}));
        drag.moved("a", 320, kOverApp);
        EXPECT_TRUE(drag.isOverRouteZone());
        EXPECT_EQ(routeHover, QString("com.example.player")) << "reported with or without a route owner";
        EXPECT_EQ(drag.targetIndex(), 0);
        drag.finished("a", kOverApp);
        EXPECT_EQ(routed.size(), routeDrops ? 1u : 0u);
        EXPECT_TRUE(orders.empty()) << "the fall-through reorder keeps the row in place";
        EXPECT_EQ(routeHover, std::nullopt);
        EXPECT_FALSE(drag.isOverRouteZone());
    }
}

TEST_F(DeviceListDragTest, TheDraggedDeviceIsFoundByItsUIDWhenTheListChangesDuringTheDrag) {
    DeviceListDrag drag(owner());
    drag.setDevices(devices({"a", "b", "c"}));
    drag.moved("b", 31, kNowhere);
    // A device is plugged in above, the list is re-sorted: the drag follows "b", not its old row.
    drag.setDevices(devices({"new", "c", "b", "a"}));
    EXPECT_EQ(drag.rowOffset(2), 31);
    EXPECT_EQ(drag.targetIndex(), 3);
    drag.finished("b", kNowhere);
    ASSERT_EQ(orders.size(), 1u);
    EXPECT_EQ(orders[0].first, QStringList({"new", "c", "a", "b"}));
    EXPECT_EQ(orders[0].second, "b");

    // A drop on MAIN hands over the device as it is listed now.
    drag.moved("c", 0, kOverMain);
    auto changed = devices({"new", "c", "a"});
    changed[1].name = "renamed";
    drag.setDevices(changed);
    drag.finished("c", kOverMain);
    ASSERT_EQ(assigned.size(), 1u);
    EXPECT_EQ(assigned[0].second, "c");
}

TEST_F(DeviceListDragTest, ADraggedDeviceThatVanishesOnlyResetsTheDrag) {
    DeviceListDrag drag(owner());
    drag.setDevices(devices({"a", "b", "c"}));
    drag.moved("a", 60, kOverMain);
    drag.setDevices(devices({"b", "c"}));
    EXPECT_FALSE(drag.draggedUID());
    EXPECT_EQ(busHovers.back(), std::nullopt);
    EXPECT_EQ(drag.rowOffset(0), 0);
    // Its release, if it still comes, acts on nothing; nor does a move of a row no longer listed.
    drag.moved("a", 60, kOverMain);
    drag.finished("a", kOverMain);
    EXPECT_TRUE(assigned.empty());
    EXPECT_TRUE(orders.empty());
    EXPECT_FALSE(drag.draggedUID());
}

}  // namespace
}  // namespace quellor::test
