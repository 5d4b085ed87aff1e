#pragma once
// The notice that the sources panel shows above its tiles while the update controller has a version
// to report: the host passes the staged version, else the available one. The text and the button
// follow the controller's staged version at once: "Quellor 2.1 is available" / "Update", then
// "Quellor 2.1 is ready to install" / "Restart". Either button calls checkForUpdates(), which
// restarts into a staged update at once.
//
// Threads: main thread only.
#include <QString>

#include "ui/style/InlineBanner.h"

namespace quellor {

class UpdateController;

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
