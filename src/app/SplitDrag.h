#pragma once
// One drag of a split handle. The translation is measured from where the drag began, so the size
// follows the pointer exactly and does not drift.
//
// Threads: any; one drag at a time.
#include <optional>

namespace quellor {

class SplitDrag {
public:
    SplitDrag(double lower, double upper, bool growsAway) : lower_(lower), upper_(upper), growsAway_(growsAway) {}

    // The new size for a drag that has moved `translation` since it began; `current` is the size
    // now, taken as the start on the first change of a drag.
    double changed(double current, double translation);
    void ended() { startSize_.reset(); }
    bool active() const { return startSize_.has_value(); }

private:
    double lower_, upper_;
    bool growsAway_;
    std::optional<double> startSize_;
};

}  // namespace quellor
