#include "ui/style/ThemeController.h"

#include <QApplication>

#include "ui/style/QtPalette.h"

namespace quellor {

ThemeController::ThemeController(UserDefaults& defaults, QObject* parent)
    : QObject(parent), defaults_(defaults), current_(themeFromStoredValue(defaults.stringValue(kThemeKey))) {
    applyApplicationPalette(current_);
    connect(&defaults_, &UserDefaults::changed, this, [this](const QString& key) {
        if (key != QLatin1String(kThemeKey)) return;
        // An unknown or removed value keeps the theme in force: only a theme name changes it.
        if (auto mode = themeFromRawValue(defaults_.stringOr(key, QString()))) adopt(*mode);
    });
}

void ThemeController::choose(ThemeMode mode) {
    adopt(mode);
    defaults_.setString(kThemeKey, rawValue(mode));
}

void ThemeController::adopt(ThemeMode mode) {
    if (mode == current_) return;
    current_ = mode;
    applyApplicationPalette(mode);
    emit themeChanged(mode);
}

}  // namespace quellor
