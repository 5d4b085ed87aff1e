#pragma once
// The settings page for the iOS companion and other OSC senders: the connection status, the
// pairing PIN, OSC reception and its UDP port, the control password with its requirement, and how
// to set the companion up. The widgets only show CompanionSettings and forward input to it.
//
// The port field commits only on Return; leaving it any other way puts the stored port back.
//
// Threads: main thread only.
#include <QUrl>
#include <QWidget>
#include <functional>

#include "ui/settings/CompanionSettings.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QToolButton;

namespace quellor {

class CompanionStatusDotWidget;
class MixerEngine;
class ThemeController;
class UserDefaults;

class CompanionSettingsView : public QWidget {
    Q_OBJECT
public:
    // Where "Get Quellor Companion on TestFlight…" leads: the companion's beta download page.
    static constexpr const char* kDownloadPageAddress = "https://larchfen.com/quellor/companion";

    struct Platform {
        std::function<void(const QString&)> copyText;  // empty: the application's clipboard
        std::function<void(const QUrl&)> openURL;      // empty: the default browser
    };

    CompanionSettingsView(MixerEngine& engine, UserDefaults& defaults, ThemeController& themes, Platform platform = {},
                          QWidget* parent = nullptr);

    CompanionSettings& settings() { return settings_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Each time the page is shown afresh (the window reopened, its tab chosen again) both codes
    // start masked; a window restored by the desktop keeps what it showed.
    void showEvent(QShowEvent* event) override;

private:
    void refresh();
    QWidget* secretRow(QLabel*& value, const char* copyName, const char* revealName, std::function<void()> copy,
                       std::function<void()> reveal, QToolButton*& revealButton);
    QWidget* headerRow(const QString& title, const QString& renew, const QString& help, const char* name,
                       std::function<void()> action);

    ThemeController& themes_;
    Platform platform_;
    CompanionSettings settings_;
    CompanionStatusDotWidget* dot_;
    QLabel* status_;
    QLabel* pin_;
    QToolButton* revealPIN_;
    QCheckBox* oscEnabled_;
    QLineEdit* port_;
    QLabel* password_;
    QToolButton* revealPassword_;
    QCheckBox* pinRequired_;
    QLabel* openWarning_;
    QLabel* openNote_;
};

}  // namespace quellor
