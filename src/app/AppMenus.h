#pragma once
// The menus of the main window's menu bar, as menu models built when a menu opens: "Quellor" (the
// update item, Settings…, Quit Quellor) and "File" (the setup commands). Ctrl stands where another
// platform has Cmd. Commands that need the main window's interface show the window first, then
// post their request.
//
// Threads: main thread only.
#include <QString>
#include <functional>
#include <optional>

#include "app/AppNotifier.h"
#include "ui/style/MenuModel.h"

namespace quellor {

class SessionManager;
class UpdateController;
struct MixSession;

struct AppMenuContext {
    SessionManager& sessions;
    UpdateController& updater;
    std::function<void(AppNotification)> postAfterShowingMainWindow;
    std::function<std::optional<QString>()> openSetupPanel;
    std::function<std::optional<QString>(const QString&)> exportSetupPanel;
    std::function<void()> closeWindow;
    std::function<void()> quit;
};

MenuModel applicationMenu(const AppMenuContext& context);
MenuModel fileMenu(const AppMenuContext& context);
// One item per setup, the most recently modified first; the current one marked "  ✓".
MenuModel recentSetupsMenu(const AppMenuContext& context);
// The export panel's suggested name: the current setup's, or "Setup".
QString exportSuggestedName(const std::optional<MixSession>& current);

}  // namespace quellor
