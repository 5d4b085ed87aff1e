#pragma once
// The two notices that the sources panel shows above its tiles.
//
// PermissionBanner: while the engine needs the audio-capture permission (its host shows it only
// then; it keeps no state). "Audio access needed" with the way to grant it, in yellow, and "Open"
// for the system's privacy settings; it stays until the host sees the permission granted.
//
// UpdateBanner: while the update controller has a version to report, the host passes the staged
// version, else the available one. The text and the button follow the controller's staged version
// at once: "Quellor 2.1 is available" / "Update", then "Quellor 2.1 is ready to install" /
// "Restart". Either button calls checkForUpdates(), which restarts into a staged update at once.
//
// Threads: main thread only.
#include <QString>

#include "ui/style/InlineBanner.h"
#include "ui/style/ThemeMode.h"

namespace quellor {

class UpdateController;

// The yellow of warnings, in the theme's colour scheme.
QColor warningYellow(ThemeMode mode);

class PermissionBanner : public InlineBanner {
    Q_OBJECT
public:
    explicit PermissionBanner(ThemeController& themes, QWidget* parent = nullptr);
};

class UpdateBanner : public InlineBanner {
    Q_OBJECT
public:
    UpdateBanner(UpdateController& updater, ThemeController& themes, QString version, QWidget* parent = nullptr);

    const QString& version() const { return version_; }

private:
    void refresh();

    UpdateController& updater_;
    ThemeController& themes_;
    QString version_;
};

}  // namespace quellor
