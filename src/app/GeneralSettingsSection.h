#pragma once
// The General page of the settings panel: the console's strip count, launch at login, updates,
// help, about and Quit. The launch-at-login switch shows what the autostart entry says: it is read
// when the panel opens and again after every change the user makes, so a change that could not be
// made springs back. The update button's title follows the update controller.
//
// Threads: main thread only.
#include <QWidget>

class QCheckBox;
class QLabel;
class QPushButton;

namespace quellor {

class AppActions;
class ThemeController;
class UserDefaults;

class GeneralSettingsSection : public QWidget {
    Q_OBJECT
public:
    GeneralSettingsSection(AppActions& actions, UserDefaults& defaults, ThemeController& themes,
                           QWidget* parent = nullptr);

    // Reads launch at login, the update title and the strip count afresh (the panel calls it when
    // it opens).
    void reload();

private:
    AppActions& actions_;
    UserDefaults& defaults_;
    QPushButton* strips8_;
    QPushButton* strips16_;
    QCheckBox* launchAtLogin_;
    QPushButton* update_;
    QCheckBox* autoUpdate_;
};

}  // namespace quellor
