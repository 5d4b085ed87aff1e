#pragma once
// The application part of the settings sheet: the version, launch at login, the update button and
// Copy Diagnostics. The launch-at-login switch shows what the autostart entry says: it is read
// when the sheet opens and again after every change the user makes, so a change that could not be
// made springs back. The update button's title follows the update controller.
//
// Threads: main thread only.
#include <QWidget>

class QCheckBox;
class QLabel;
class QPushButton;

namespace quellor {

class AppActions;

class GeneralSettingsSection : public QWidget {
    Q_OBJECT
public:
    explicit GeneralSettingsSection(AppActions& actions, QWidget* parent = nullptr);

    // Reads launch at login and the update title afresh (the sheet calls it when it opens).
    void reload();

private:
    AppActions& actions_;
    QLabel* version_;
    QCheckBox* launchAtLogin_;
    QPushButton* update_;
    QPushButton* copyDiagnostics_;
};

}  // namespace quellor
