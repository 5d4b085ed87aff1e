#pragma once
// Where the MAIN and PHONES pairs lie on an output device that carries both: zero-based first
// channels (never negative) and the width of each pair. The engine resolves it for a device from
// the stored choice (BusPairing::layoutOn), a tap starts with it and the render pass places its
// windows by it. A plain value; any thread.

namespace quellor {

struct BusLayout {
    int mainOffset = 0;
    int phonesOffset = 2;
    int width = 2;
    friend bool operator==(const BusLayout&, const BusLayout&) = default;
};

}  // namespace quellor
