#pragma once
// Which strip shows the drop outline while something is dragged over the console: the slot the
// drag entered last. Leaving a slot clears the outline only when that slot still has it (the
// drag may already have entered the next one), and a drop clears it the same way, so no outline
// stays behind once the drag is over.
//
// The outline (ConsoleMetrics::DropOutline): a rounded rectangle stroked in the palette's `brand`,
// inset from the cell's edges; it takes no clicks.
//
// Threads: main thread only.

#include <optional>

namespace quellor {

class StripDropHighlight {
public:
    void entered(int index) { target_ = index; }
    void left(int index) { clearIf(index); }
    void dropped(int index) { clearIf(index); }

    const std::optional<int>& target() const { return target_; }
    bool highlights(int index) const { return target_ == index; }

private:
    void clearIf(int index) {
        if (target_ == index) target_.reset();
    }

    std::optional<int> target_;
};

}  // namespace quellor
