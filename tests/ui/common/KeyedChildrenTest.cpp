// Which children a view keeps, which wanted items need a child, and which children go.
#include <gtest/gtest.h>

#include <QString>

#include "ui/common/KeyedChildren.h"

namespace quellor::test {
namespace {

TEST(KeyedChildren, EachChildShowsAtMostOneWantedKeyAndTheRestGo) {
    using Keys = std::vector<QString>;
    constexpr std::nullopt_t none = std::nullopt;
    struct Case {
        const char* name;
        Keys current, wanted;
        std::vector<std::optional<std::size_t>> kept;
        std::vector<std::size_t> gone;
    };
    const Case cases[] = {
        {"first build", {}, {"a", "b"}, {none, none}, {}},
        {"nothing wanted", {"a", "b"}, {}, {}, {0, 1}},
        {"unchanged", {"a", "b", "c"}, {"a", "b", "c"}, {0, 1, 2}, {}},
        {"reordered", {"a", "b", "c"}, {"c", "a", "b"}, {2, 0, 1}, {}},
        {"one removed, one added", {"a", "b", "c"}, {"a", "d", "c"}, {0, none, 2}, {1}},
        {"all replaced", {"a", "b"}, {"c", "d"}, {none, none}, {0, 1}},
        {"a key wanted twice gets a second child", {"a"}, {"a", "a"}, {0, none}, {}},
        {"twin children: the first stays", {"a", "a", "b"}, {"b", "a"}, {2, 0}, {1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const KeyedChildrenPlan plan = planKeyedChildren(c.current, c.wanted);
        EXPECT_EQ(plan.kept, c.kept);
        EXPECT_EQ(plan.gone, c.gone);
    }
}

TEST(KeyedChildren, CompositeKeysMatchOnEveryPart) {
    // The console keys a cell by its slot index and source: a source moved to another slot, or a
    // slot given another source, is a new cell.
    using Key = std::pair<int, QString>;
    const std::vector<Key> current{{0, "a"}, {1, ""}, {2, "b"}};
    const std::vector<Key> wanted{{0, "b"}, {1, ""}, {2, "b"}};
    const KeyedChildrenPlan plan = planKeyedChildren(current, wanted);
    EXPECT_EQ(plan.kept, (std::vector<std::optional<std::size_t>>{std::nullopt, 1, 2}));
    EXPECT_EQ(plan.gone, std::vector<std::size_t>{0});
}

}  // namespace
}  // namespace quellor::test
