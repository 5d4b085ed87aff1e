#pragma once
// The one owner of the theme in force. It starts from the stored "theme" (booth when absent or when
// the value names no theme, without rewriting it) and changes only through choose(), which sets the
// theme and then stores its raw value, so that views bound to "theme" rebuild with the new palette.
// A valid "theme" written by anyone else (the console's more-menu, a test) applies at once too.
// On each change the application palette follows the theme's colour scheme, so menus, tooltips and
// dialogs match the windows.
//
// Threads: main thread only.
#include <QObject>

#include "base/UserDefaults.h"
#include "ui/style/ThemeMode.h"

namespace quellor {

class ThemeController : public QObject {
    Q_OBJECT
public:
    static constexpr const char* kThemeKey = "theme";

    explicit ThemeController(UserDefaults& defaults, QObject* parent = nullptr);

    ThemeMode current() const { return current_; }
    Palette palette() const { return quellor::palette(current_); }
    // Sets the theme in force, then writes its raw value under "theme" (even when unchanged).
    void choose(ThemeMode mode);

signals:
    void themeChanged(ThemeMode mode);

private:
    void adopt(ThemeMode mode);

    UserDefaults& defaults_;
    ThemeMode current_;
};

}  // namespace quellor
