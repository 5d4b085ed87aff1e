#pragma once
// The keyed reconciliation of a view's child widgets: after a model change, which existing child
// goes on showing which wanted item, which wanted item needs a child of its own, and which
// children are left over. Views keep a child for as long as its key stays, so a drag, a hover or
// a meter's peak hold in it survives the rebuild; what they do with new and left-over children
// (create, reuse a spare, hide, delete later) is theirs.
//
// Each current child matches at most one wanted key: the first one equal to its own, in order.
//
// Threads: values only.

#include <cstddef>
#include <optional>
#include <vector>

namespace quellor {

struct KeyedChildrenPlan {
    // For each wanted key, in order: the index of the current child that shows it; none when it
    // needs a new (or spare) child.
    std::vector<std::optional<std::size_t>> kept;
    // The indexes of the current children that no wanted key took, in their order.
    std::vector<std::size_t> gone;

    bool operator==(const KeyedChildrenPlan&) const = default;
};

template <class Key>
KeyedChildrenPlan planKeyedChildren(const std::vector<Key>& current, const std::vector<Key>& wanted) {
    KeyedChildrenPlan plan;
    std::vector<bool> taken(current.size(), false);
    for (const Key& key : wanted) {
        std::optional<std::size_t> match;
        for (std::size_t i = 0; i < current.size() && !match; ++i)
            if (!taken[i] && current[i] == key) match = i;
        if (match) taken[*match] = true;
        plan.kept.push_back(match);
    }
    for (std::size_t i = 0; i < current.size(); ++i)
        if (!taken[i]) plan.gone.push_back(i);
    return plan;
}

}  // namespace quellor
