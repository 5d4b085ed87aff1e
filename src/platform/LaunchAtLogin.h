#pragma once
// Launch at login through the desktop's autostart folder: an XDG autostart entry
// "$XDG_CONFIG_HOME/autostart/<app id>.desktop" that starts the program when the user logs in; its
// text is the desktop entry that the installation puts into the application menu.
// The file is the only truth: launch at login is enabled exactly when the entry exists and is
// neither hidden ("Hidden=true") nor switched off ("X-GNOME-Autostart-enabled=false"), as desktop
// sessions read it. Nothing is cached, so a change made in the desktop's own settings shows at the
// next read.
//
// Threads: main thread (plain file operations, no shared state).
#include <QString>

namespace quellor {

class LaunchAtLogin {
public:
    // The entry at `entryPath`, starting `executable` when enabled.
    LaunchAtLogin(QString entryPath, QString executable);

    // "$XDG_CONFIG_HOME/autostart/<appID>.desktop" ($HOME/.config when the variable is unset or
    // relative).
    static QString standardEntryPath(const QString& appID);

    const QString& entryPath() const { return entryPath_; }
    bool isEnabled() const;
    // Writes the entry (replacing a hidden or switched-off one). False when it cannot be written.
    bool enable();
    // Removes the entry. False when one remains.
    bool disable();

    // The entry's text for `executable`: the application menu's desktop entry, switched on.
    static QByteArray entryText(const QString& executable);
    // Whether an entry with this text starts the program at login.
    static bool entryEnables(const QByteArray& text);

private:
    QString entryPath_;
    QString executable_;
};

}  // namespace quellor
