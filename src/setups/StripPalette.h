#pragma once
// The eight strip colours that a StripStyle's colour index selects. Entry k has hue k/8 of the
// colour circle, saturation 0.5, brightness 0.88 and full opacity (hue-saturation-brightness
// model; a view builds its colour with QColor::fromHsvF(hue, saturation, brightness, alpha)).
//
// An index selects entry index modulo 8. Stored data may hold any integer: a negative index
// wraps the same way from the other end (-1 is entry 7), so no index faults.
//
// Threads: the table is a constant; any thread.

#include <array>

namespace quellor {

struct StripColor {
    double hue;  // 0...1 of the colour circle
    double saturation;
    double brightness;
    double alpha;

    bool operator==(const StripColor&) const = default;
};

class StripPalette {
public:
    static constexpr int kCount = 8;

    StripPalette() = delete;

    static const std::array<StripColor, kCount>& colors();
    static const StripColor& color(int index);
    static int entryIndex(int index) { return ((index % kCount) + kCount) % kCount; }
};

}  // namespace quellor
