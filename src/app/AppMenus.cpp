#include "app/AppMenus.h"

#include "app/UpdateController.h"
#include "setups/SessionManager.h"

namespace quellor {

MenuModel applicationMenu(const AppMenuContext& c) {
    MenuItem update = MenuItem::command(c.updater.menuTitle(), [&u = c.updater] { u.checkForUpdates(); });
    update.objectName = QStringLiteral("menu-update");
    MenuItem settings = MenuItem::command(QStringLiteral("Settings…"),
                                          [post = c.postAfterShowingMainWindow] { post(AppNotification::ShowSettings); },
                                          QKeySequence(Qt::CTRL | Qt::Key_Comma));
    settings.objectName = QStringLiteral("menu-settings");
    MenuItem quit = MenuItem::command(QStringLiteral("Quit Quellor"), c.quit, QKeySequence(Qt::CTRL | Qt::Key_Q));
    quit.objectName = QStringLiteral("menu-quit");
    return {update, MenuItem::separator(), settings, MenuItem::separator(), quit};
}

MenuModel recentSetupsMenu(const AppMenuContext& c) {
    MenuModel items;
    const auto current = c.sessions.currentID();
    for (const MixSession& s : c.sessions.recentSessions()) {
        QString title = s.name;
        if (current && *current == s.id) title += QStringLiteral("  ✓");
        items.push_back(MenuItem::command(title, [&sessions = c.sessions, id = s.id] { sessions.switchTo(id); }));
    }
    return items;
}

QString exportSuggestedName(const std::optional<MixSession>& current) {
    return current ? current->name : QStringLiteral("Setup");
}

MenuModel fileMenu(const AppMenuContext& c) {
    SessionManager& sessions = c.sessions;
    auto post = c.postAfterShowingMainWindow;
    MenuItem newSetup = MenuItem::command(QStringLiteral("New Setup…"), [post] { post(AppNotification::NewSetup); },
                                          QKeySequence(Qt::CTRL | Qt::Key_N));
    newSetup.objectName = QStringLiteral("menu-new-setup");
    MenuItem open = MenuItem::command(
        QStringLiteral("Open Setup…"),
        [&sessions, panel = c.openSetupPanel] {
            // The setup manager logs a failed import, with the file and the reason.
            if (auto path = panel()) sessions.importSetup(*path);
        },
        QKeySequence(Qt::CTRL | Qt::Key_O));
    MenuItem recent = MenuItem::submenu(QStringLiteral("Open Recent Setup"), recentSetupsMenu(c));
    MenuItem duplicate = MenuItem::command(QStringLiteral("Duplicate Setup"), [&sessions] { sessions.duplicateSetup(); });
    MenuItem rename = MenuItem::command(QStringLiteral("Rename Setup…"), [post] { post(AppNotification::RenameSetup); });
    MenuItem exportItem = MenuItem::command(QStringLiteral("Export Setup…"), [&sessions, panel = c.exportSetupPanel] {
        if (auto path = panel(exportSuggestedName(sessions.currentSession()))) sessions.exportSetup(*path);
    });
    MenuItem remove = MenuItem::command(QStringLiteral("Delete Setup"), [&sessions] { sessions.deleteSetup(); });
    remove.enabled = sessions.sessions().size() >= 2;
    remove.objectName = QStringLiteral("menu-delete-setup");
    // Where a window system gives every window its own close command, this menu must.
    MenuItem close = MenuItem::command(QStringLiteral("Close Window"), c.closeWindow, QKeySequence(Qt::CTRL | Qt::Key_W));
    return {newSetup, open, recent, MenuItem::separator(), duplicate, rename, exportItem, MenuItem::separator(), remove,
            MenuItem::separator(), close};
}

}  // namespace quellor
