// The one adapter from menu models to QMenu: items, marks, enablement, shortcuts and submenus, built
// again each time the menu opens.
#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>

#include "ui/style/MenuModel.h"

using namespace quellor;

TEST(MenuModel, PopulatesItemsAsTheModelSays) {
    int runs = 0;
    MenuItem checked = MenuItem::command("Mix  ✓", [&] { ++runs; });
    MenuItem disabled = MenuItem::command("Delete Setup", [&] { runs += 10; });
    disabled.enabled = false;
    MenuItem toggle = MenuItem::command("Post", {});
    toggle.checkable = toggle.checked = true;
    MenuModel model{MenuItem::command("New Setup…", [&] { runs += 100; }, QKeySequence("Ctrl+N")),
                    MenuItem::separator(),
                    MenuItem::submenu("Open Recent Setup", {checked}),
                    disabled,
                    toggle};
    QMenu menu;
    populateMenu(menu, model);
    const auto actions = menu.actions();
    ASSERT_EQ(actions.size(), 5);
    EXPECT_EQ(actions[0]->text(), "New Setup…");
    EXPECT_EQ(actions[0]->shortcut(), QKeySequence("Ctrl+N"));
    EXPECT_TRUE(actions[1]->isSeparator());
    ASSERT_TRUE(actions[2]->menu());
    EXPECT_EQ(actions[2]->menu()->actions().value(0)->text(), "Mix  ✓");
    EXPECT_FALSE(actions[3]->isEnabled());
    EXPECT_TRUE(actions[4]->isChecked());
    actions[0]->trigger();
    actions[2]->menu()->actions().value(0)->trigger();
    EXPECT_EQ(runs, 101);
}

TEST(MenuModel, ABoundMenuIsBuiltAgainWhenItOpens) {
    int setups = 1;
    QMenu menu;
    bindMenu(menu, [&] {
        MenuItem remove = MenuItem::command("Delete Setup", {});
        remove.enabled = setups >= 2;
        return MenuModel{remove};
    });
    EXPECT_FALSE(menu.actions().value(0)->isEnabled());  // built at once, so shortcuts work closed
    setups = 2;
    emit menu.aboutToShow();
    ASSERT_EQ(menu.actions().size(), 1);
    EXPECT_TRUE(menu.actions().value(0)->isEnabled());
}

TEST(MenuModel, ASectionIsADividerCarryingItsTitle) {
    QMenu menu;
    populateMenu(menu, {MenuItem::command("Rename…", {}), MenuItem::section("Fade"), MenuItem::command("Stop fade", {})});
    const auto actions = menu.actions();
    ASSERT_EQ(actions.size(), 3);
    EXPECT_TRUE(actions[1]->isSeparator());
    EXPECT_EQ(actions[1]->text(), "Fade");
}
