#pragma once
// The settings panel's General page wired to the application: its actions are the AppActions', and
// its update button is retitled whenever the update controller learns of a new version.
//
// Threads: main thread only.
#include <QWidget>

namespace quellor {

class AppActions;
class GeneralSettingsSection;
class ThemeController;
class UserDefaults;

GeneralSettingsSection* makeGeneralSettingsSection(AppActions& actions, UserDefaults& defaults,
                                                   ThemeController& themes, QWidget* parent = nullptr);

}  // namespace quellor
