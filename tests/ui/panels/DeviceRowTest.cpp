// The device row: the seal, the trailing item and the highlight.
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
    using T = DeviceRow::Trailing;
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
        const DeviceRow spec = DeviceRow::of(device, false, c.isDefault, match, c.hovering, c.suppress, c.dragging);
        EXPECT_EQ(spec.isHighlighted, c.highlighted);
        EXPECT_EQ(spec.trailing, c.trailing) << c.isDefault << c.hasMatch << c.hovering << c.suppress << c.dragging;
        EXPECT_EQ(spec.symbol, "headphones");
    }
}

}  // namespace
}  // namespace quellor::test
