#include "ui/style/MenuModel.h"

#include <QAction>
#include <QMenu>
#include <QPointer>

#include "ui/style/SymbolIcons.h"

namespace quellor {

void execMenu(const MenuModel& model, QWidget* over, QPoint globalPos) {
    QMenu menu(over);
    populateMenu(menu, model);
    menu.exec(globalPos);
}

void populateMenu(QMenu& menu, const MenuModel& model) {
    menu.clear();
    for (const MenuItem& item : model) {
        switch (item.kind) {
        case MenuItem::Kind::Separator:
            if (item.title.isEmpty()) menu.addSeparator();
            else menu.addSection(item.title);
            break;
        case MenuItem::Kind::Submenu: {
            QMenu* sub = menu.addMenu(item.title);
            sub->setObjectName(item.objectName);
            sub->setEnabled(item.enabled);
            populateMenu(*sub, item.children);
            break;
        }
        case MenuItem::Kind::Action: {
            QAction* action = menu.addAction(item.title);
            action->setObjectName(item.objectName);
            action->setEnabled(item.enabled);
            action->setCheckable(item.checkable);
            action->setChecked(item.checked);
            if (!item.shortcut.isEmpty()) action->setShortcut(item.shortcut);
            if (!item.symbol.isEmpty() && hasSymbol(item.symbol))
                action->setIcon(symbolIcon(item.symbol, menu.palette().color(QPalette::Text), 16));
            if (item.action) QObject::connect(action, &QAction::triggered, &menu, [run = item.action] { run(); });
            break;
        }
        }
    }
}

void bindMenu(QMenu& menu, std::function<MenuModel()> build) {
    auto rebuild = [menu = QPointer<QMenu>(&menu), build] {
        if (menu) populateMenu(*menu, build());
    };
    QObject::connect(&menu, &QMenu::aboutToShow, &menu, rebuild);
    // A shortcut triggers its action without opening the menu: rebuild afterwards (posted, since the
    // triggering action is deleted by the rebuild) so that the next shortcut sees the new state.
    QObject::connect(&menu, &QMenu::triggered, &menu, [&menu, rebuild] { QMetaObject::invokeMethod(&menu, rebuild, Qt::QueuedConnection); });
    rebuild();
}

const MenuItem* findMenuItem(const MenuModel& model, const QString& title) {
    for (const MenuItem& item : model) {
        if (item.title == title) return &item;
        if (const MenuItem* found = findMenuItem(item.children, title)) return found;
    }
    return nullptr;
}

}  // namespace quellor
