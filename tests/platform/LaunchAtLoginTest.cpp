// Launch at login is the autostart entry: on when it exists and is neither hidden nor switched off.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "platform/LaunchAtLogin.h"

using namespace quellor;

namespace {

TEST(LaunchAtLogin, AnEntryEnablesUnlessHiddenOrSwitchedOff) {
    struct Case {
        const char* text;
        bool enables;
    };
    const Case cases[] = {
        {"[Desktop Entry]\nType=Application\nExec=quellor\n", true},
        {"[Desktop Entry]\nExec=quellor\nHidden=true\n", false},
        {"[Desktop Entry]\nExec=quellor\nHidden=false\n", true},
        {"[Desktop Entry]\nExec=quellor\nX-GNOME-Autostart-enabled=false\n", false},
        {"[Desktop Entry]\nExec=quellor\n X-GNOME-Autostart-enabled = false \n", false},
        // Keys of other groups say nothing about the entry.
        {"[Desktop Entry]\nExec=quellor\n[Desktop Action x]\nHidden=true\n", true},
    };
    for (const Case& c : cases) EXPECT_EQ(LaunchAtLogin::entryEnables(c.text), c.enables) << c.text;
}

TEST(LaunchAtLogin, OnWritesTheEntryAndOffRemovesIt) {
    QTemporaryDir home;
    const QString path = home.filePath("config/autostart/com.larchfen.quellor.desktop");
    LaunchAtLogin launch(path, "/opt/Quellor Beta/quellor");
    EXPECT_FALSE(launch.isEnabled());
    ASSERT_TRUE(launch.enable());
    EXPECT_TRUE(launch.isEnabled());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    EXPECT_TRUE(text.startsWith("[Desktop Entry]\n"));
    EXPECT_TRUE(text.contains("\nType=Application\n"));
    EXPECT_TRUE(text.contains("\nExec=\"/opt/Quellor Beta/quellor\"\n")) << text.toStdString();
    // The application menu's entry: its name and icon.
    EXPECT_TRUE(text.contains("\nName=Quellor\n"));
    EXPECT_TRUE(text.contains("\nIcon=quellor\n"));
    EXPECT_FALSE(text.contains("@"));
    file.close();
    ASSERT_TRUE(launch.disable());
    EXPECT_FALSE(launch.isEnabled());
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_TRUE(launch.disable()) << "off when already off";

    // An entry the desktop switched off is switched on by rewriting it.
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[Desktop Entry]\nExec=quellor\nHidden=true\n");
    file.close();
    EXPECT_FALSE(launch.isEnabled());
    ASSERT_TRUE(launch.enable());
    EXPECT_TRUE(launch.isEnabled());
}

TEST(LaunchAtLogin, ARefusedChangeDoesNotShowAsDone) {
    QTemporaryDir home;
    // The autostart folder cannot be made where a file stands.
    QFile blocker(home.filePath("autostart"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    LaunchAtLogin launch(home.filePath("autostart/quellor.desktop"), "/usr/bin/quellor");
    EXPECT_FALSE(launch.enable());
    EXPECT_FALSE(launch.isEnabled());
}

TEST(LaunchAtLogin, TheStandardEntryLivesInTheUsersAutostartFolder) {
    const QByteArray saved = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", "/tmp/cfg");
    EXPECT_EQ(LaunchAtLogin::standardEntryPath("com.larchfen.quellor"), "/tmp/cfg/autostart/com.larchfen.quellor.desktop");
    qunsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(LaunchAtLogin::standardEntryPath("x"), QDir::homePath() + "/.config/autostart/x.desktop");
    if (!saved.isNull()) qputenv("XDG_CONFIG_HOME", saved);
}

}  // namespace
