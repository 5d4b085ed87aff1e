// The device row and the Bluetooth row: what they show, and what a press becomes.
#include <gtest/gtest.h>

#include "platform/AudioConstants.h"
#include "ui/panels/DeviceRow.h"

namespace quellor::test {
namespace {

TEST(DeviceRow, TheSealNeedsBothWordsOfTheVerifiedNameWithOneSpace) {
    const std::pair<const char*, bool> cases[] = {
        {"Babyface Pro FS", true}, {"BABYFACE PRO", true}, {"RME babyface pro (123)", true},
        {"Babyface", false},       {"BabyfacePro", false}, {"Babyface  Pro", false},
    };
    for (const auto& [name, verified] : cases) EXPECT_EQ(isVerifiedDevice(name), verified) << name;
}

TEST(DeviceRow, TheTrailingItemAndTheHighlightFollowHoverDragAndTheDefault) {
    AudioDevice device;
    device.name = "Headset";
    device.transport = hal::kTransportBluetooth;
    const BluetoothAudioDevice paired{"aa-bb", "Headset", true, 6};
    using T = DeviceRowSpec::Trailing;
    struct Case {
        bool isDefault, hasMatch, hovering, suppress, dragging;
        bool highlighted;
        T trailing;
    };
    const Case cases[] = {
        {true, true, false, false, false, false, T::Checkmark},
        {true, true, true, false, false, true, T::Disconnect},  // the button replaces the check mark
        {true, true, true, true, false, false, T::Checkmark},   // another row is dragged
        {false, true, true, true, true, true, T::Disconnect},   // the dragged row stays highlighted
        {false, true, false, false, false, false, T::None},
        {true, false, true, false, false, true, T::Checkmark},
        {false, false, true, false, false, true, T::None},
    };
    for (const Case& c : cases) {
        const auto match = c.hasMatch ? std::optional(paired) : std::nullopt;
        const DeviceRowSpec spec = DeviceRowSpec::of(device, false, c.isDefault, match, c.hovering, c.suppress, c.dragging);
        EXPECT_EQ(spec.isHighlighted, c.highlighted);
        EXPECT_EQ(spec.trailing, c.trailing) << c.isDefault << c.hasMatch << c.hovering << c.suppress << c.dragging;
        EXPECT_EQ(spec.symbol, "headphones");
    }
}

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

TEST(BluetoothRow, BusyShowsProgressAndTakesNoClickHoverOffersConnect) {
    const BluetoothAudioDevice speaker{"aa", "Boom", false, 5};
    using T = BluetoothRowSpec::Trailing;
    const std::tuple<bool, bool, T, bool> cases[] = {
        {false, false, T::None, true},
        {false, true, T::Connect, true},
        {true, false, T::Progress, false},
        {true, true, T::Progress, false},
    };
    for (const auto& [busy, hovering, trailing, enabled] : cases) {
        const BluetoothRowSpec spec = BluetoothRowSpec::of(speaker, busy, hovering);
        EXPECT_EQ(spec.trailing, trailing);
        EXPECT_EQ(spec.isEnabled, enabled);
        EXPECT_EQ(spec.isHighlighted, hovering);
        EXPECT_EQ(spec.symbol, "hifispeaker");
    }
}

}  // namespace
}  // namespace quellor::test
