#pragma once
// One tree of menu items, built by logic at the moment a menu opens, and the one adapter that turns
// it into a QMenu. Logic tests read the tree; widgets only call populateMenu().
#include <QKeySequence>
#include <QString>
#include <functional>
#include <vector>

class QMenu;
class QPoint;
class QWidget;

namespace quellor {

struct MenuItem {
    enum class Kind { Action, Separator, Submenu };
    Kind kind = Kind::Action;
    QString title;
    QString symbol;  // symbol name of the icon table; empty for none
    bool checkable = false;
    bool checked = false;
    bool enabled = true;
    QKeySequence shortcut;
    QString objectName;  // for tests and accessibility
    std::function<void()> action;
    std::vector<MenuItem> children;  // Submenu only

    static MenuItem separator() {
        MenuItem item;
        item.kind = Kind::Separator;
        return item;
    }
    // A divider that heads a section of the menu with its title.
    static MenuItem section(QString title) {
        MenuItem item = separator();
        item.title = std::move(title);
        return item;
    }
    static MenuItem submenu(QString title, std::vector<MenuItem> children) {
        MenuItem item;
        item.kind = Kind::Submenu;
        item.title = std::move(title);
        item.children = std::move(children);
        return item;
    }
    static MenuItem command(QString title, std::function<void()> action, QKeySequence shortcut = {}) {
        MenuItem item;
        item.title = std::move(title);
        item.action = std::move(action);
        item.shortcut = std::move(shortcut);
        return item;
    }
};

using MenuModel = std::vector<MenuItem>;

// Replaces the menu's contents with the model. Submenus are built at once; actions keep a copy of
// their item's closure, so the model may go away after the call.
void populateMenu(QMenu& menu, const MenuModel& model);

// Opens the model as a menu over `over` at `globalPos` and returns once it has closed.
void execMenu(const MenuModel& model, QWidget* over, QPoint globalPos);

// A menu whose contents are rebuilt from `build` each time it is about to show. The shortcuts of its
// items work while it is closed too: the model is also built once at attachment, and again after
// every triggered action, so that enablement follows the state.
void bindMenu(QMenu& menu, std::function<MenuModel()> build);

// The item titled `title` in a model, searching submenus; nullptr when absent. For tests.
const MenuItem* findMenuItem(const MenuModel& model, const QString& title);

}  // namespace quellor
