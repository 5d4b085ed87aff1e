#pragma once
// The General page of the settings panel: the console's strip count, launch at login, updates,
// help, about and Quit. The launch-at-login switch shows what the autostart entry says: it is read
// when the panel opens and again after every change the user makes, so a change that could not be
// made springs back. The update button's title follows the update controller (the shell calls
// retitleUpdate() when it changes).
//
// The page reaches the application through GeneralSettingsActions, which the shell fills from its
// AppActions (app/GeneralSettingsWiring).
//
// Threads: main thread only.
#include <QString>
#include <QWidget>
#include <functional>

class QCheckBox;
class QLabel;
class QPushButton;

namespace quellor {

class ThemeController;
class UserDefaults;

// What the General page asks of the application.
struct GeneralSettingsActions {
    QString version;  // shown as "Quellor <version>"
    std::function<bool()> launchAtLoginEnabled;
    std::function<void(bool)> setLaunchAtLogin;
    std::function<QString()> updateTitle;
    std::function<void()> checkForUpdates;
    std::function<bool()> automaticallyDownloadsUpdates;
    std::function<void(bool)> setAutomaticallyDownloadsUpdates;
    std::function<void()> openSupportPage;
    std::function<void()> copyDiagnostics;
    std::function<void()> showAbout;
    std::function<void()> openTermsPage;
    std::function<void()> quit;
};

class GeneralSettingsSection : public QWidget {
    Q_OBJECT
public:
    GeneralSettingsSection(GeneralSettingsActions actions, UserDefaults& defaults, ThemeController& themes,
                           QWidget* parent = nullptr);

    // Reads launch at login, the update title and the strip count afresh (the panel calls it when
    // it opens).
    void reload();
    // Reads the update button's title afresh.
    void retitleUpdate();

private:
    GeneralSettingsActions actions_;
    UserDefaults& defaults_;
    QPushButton* strips8_;
    QPushButton* strips16_;
    QCheckBox* launchAtLogin_;
    QPushButton* update_;
    QCheckBox* autoUpdate_;
};

}  // namespace quellor
