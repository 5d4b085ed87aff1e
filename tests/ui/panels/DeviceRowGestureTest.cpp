// What a press on a device row becomes: a click, a drag, or nothing.
#include <gtest/gtest.h>

#include "ui/panels/DeviceRowGesture.h"

namespace quellor::test {
namespace {

TEST(DeviceRowGesture, APressThatMovesLessThanSixPointsIsAClick) {
    for (bool canReorder : {true, false}) {
        DeviceRowGesture g;
        g.pressed({100, 100});
        EXPECT_FALSE(g.moved({103, 104.9}, canReorder).has_value());  // 4.98 points away
        EXPECT_FALSE(g.isDraggingRow());
        const auto release = g.released({103, 104.9}, canReorder);
        EXPECT_EQ(release.click, DeviceRowGesture::Click::Row);
        EXPECT_FALSE(release.finished.has_value());
    }
}

TEST(DeviceRowGesture, SixPointsMakeADragThatReportsTranslationAndLocation) {
    DeviceRowGesture g;
    g.pressed({100, 100});
    const auto first = g.moved({100, 106}, true);
    ASSERT_TRUE(first.has_value());
    EXPECT_EQ(first->translation, 6);
    EXPECT_EQ(first->location, QPointF(100, 106));
    EXPECT_TRUE(g.isDraggingRow());
    // Back near the press: still a drag, not a click.
    const auto back = g.moved({101, 98}, true);
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(back->translation, -2);
    const auto release = g.released({101, 98}, true);
    EXPECT_EQ(release.click, DeviceRowGesture::Click::None);
    ASSERT_TRUE(release.finished.has_value());
    EXPECT_EQ(release.finished->location, QPointF(101, 98));
    EXPECT_FALSE(g.isDraggingRow());
}

TEST(DeviceRowGesture, ARowWithoutAReorderHandlerIgnoresDrags) {
    DeviceRowGesture g;
    g.pressed({0, 0});
    EXPECT_FALSE(g.moved({0, 40}, false).has_value());
    EXPECT_FALSE(g.isDraggingRow());
    const auto release = g.released({0, 0}, false);
    EXPECT_EQ(release.click, DeviceRowGesture::Click::None) << "a drag is no click, even back at its start";
    EXPECT_FALSE(release.finished.has_value());
}

TEST(DeviceRowGesture, TheDisconnectButtonConsumesItsClickButNotADrag) {
    DeviceRowGesture g;
    g.pressed({10, 10}, /*onDisconnectButton*/ true);
    EXPECT_EQ(g.released({11, 11}, true).click, DeviceRowGesture::Click::DisconnectButton);

    g.pressed({10, 10}, true);
    ASSERT_TRUE(g.moved({10, 30}, true).has_value());
    const auto release = g.released({10, 30}, true);
    EXPECT_EQ(release.click, DeviceRowGesture::Click::None);
    EXPECT_TRUE(release.finished.has_value());
}

}  // namespace
}  // namespace quellor::test
