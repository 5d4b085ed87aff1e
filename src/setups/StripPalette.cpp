#include "setups/StripPalette.h"

namespace quellor {

const std::array<StripColor, StripPalette::kCount>& StripPalette::colors() {
    static constexpr std::array<StripColor, kCount> table = [] {
        std::array<StripColor, kCount> colors{};
        for (int k = 0; k < kCount; ++k) colors[k] = StripColor{double(k) / kCount, 0.5, 0.88, 1.0};
        return colors;
    }();
    return table;
}

const StripColor& StripPalette::color(int index) { return colors()[entryIndex(index)]; }

}  // namespace quellor
