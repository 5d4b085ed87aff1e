#pragma once
// The startup screen: a small frameless window, 376 wide and as high as its content, that greets
// the user shortly after launch with three ways into a mix: a new setup (named in a sheet), a
// setup file, or one of the ten most recently modified setups; and, when an update is known, an
// update button. Any way in closes the window and then runs the caller's open action (which shows
// the main window); the update button leaves it open. Escape, and a close asked for by the window
// manager (which a Linux desktop always offers, Alt+F4 among others), go in with the current setup:
// the window closes and the main window opens without a switch, so the program is never left
// running without a window. The screen never touches the mix itself: it only calls the setup
// manager.
//
// Keyboard: Tab and Shift+Tab (or the arrow keys) move the focus over the buttons, the header of
// the recent list and its rows; Return, Enter and Space activate the focused one (at first the
// primary button, "New Setup…"); Ctrl+Q quits.
//
// StartupScreenView paints the model and layout of StartupScreen.h in the theme's colours and
// forwards clicks; StartupScreenController owns the window and runs the actions. The collapsed
// state of the recent list lives in the user defaults under "startupRecentCollapsed".
//
// Threads: main thread only.
#include <QObject>
#include <QPointer>
#include <functional>
#include <optional>

#include "app/RetiredWindows.h"
#include "app/StartupScreen.h"
#include "app/StartupScreenView.h"
#include "base/Scheduler.h"
#include "base/UserDefaults.h"
#include "ui/style/PromptSheet.h"

namespace quellor {

class SessionManager;
class ThemeController;

class StartupScreenController : public QObject {
    Q_OBJECT
public:
    struct Environment {
        UserDefaults& defaults;
        ThemeController& themes;
        // The setup open panel: a chosen file, or nothing when cancelled.
        std::function<std::optional<QString>(QWidget* parent)> openPanel;
        // Quits the program (Ctrl+Q), as the main window's Quit does.
        std::function<void()> quit = {};
    };

    explicit StartupScreenController(Environment environment, QObject* parent = nullptr);
    ~StartupScreenController() override;

    // Builds the window and brings it to the front. `updateTitle` adds the update button, which
    // runs `onUpdate`; `onOpen` runs after a setup was created, opened or picked, once the window
    // has closed.
    void show(SessionManager& sessions, std::optional<QString> updateTitle, std::function<void()> onUpdate,
              std::function<void()> onOpen);
    // Closes the window, if there is one, and lets it go.
    void close();

    StartupScreenView* window() const { return window_; }
    PromptSheet* namingSheet() const { return namingSheet_; }

private:
    void rebuild();
    void activate(startup::Element element, int row);
    // Escape or the window manager's close: in with the current setup.
    void goInAsItIs(StartupScreenView* view);

    Environment env_;
    QPointer<StartupScreenView> window_;
    RetiredWindows retired_;
    QPointer<PromptSheet> namingSheet_;
    SessionManager* sessions_ = nullptr;
    std::optional<QString> updateTitle_;
    std::function<void()> onUpdate_;
    std::function<void()> onOpen_;
    Liveness alive_;
};

}  // namespace quellor
