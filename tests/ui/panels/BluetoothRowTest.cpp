// The Bluetooth row: what it shows and whether it takes a click.
#include <gtest/gtest.h>

#include "ui/panels/BluetoothRow.h"

namespace quellor::test {
namespace {

TEST(BluetoothRow, BusyShowsProgressAndTakesNoClickHoverOffersConnect) {
    const BluetoothAudioDevice speaker{"aa", "Boom", false, 5};
    using T = BluetoothRow::Trailing;
    const std::tuple<bool, bool, T, bool> cases[] = {
        {false, false, T::None, true},
        {false, true, T::Connect, true},
        {true, false, T::Progress, false},
        {true, true, T::Progress, false},
    };
    for (const auto& [busy, hovering, trailing, enabled] : cases) {
        const BluetoothRow spec = BluetoothRow::of(speaker, busy, hovering);
        EXPECT_EQ(spec.trailing, trailing);
        EXPECT_EQ(spec.isEnabled, enabled);
        EXPECT_EQ(spec.isHighlighted, hovering);
        EXPECT_EQ(spec.symbol, "hifispeaker");
    }
}

}  // namespace
}  // namespace quellor::test
