#pragma once
// The update commands as the menus see them. No update framework exists on this platform yet: the
// title is the idle one and a check finds nothing.
//
// Threads: main thread only.
#include <QObject>
#include <QString>

namespace quellor {

class UpdateController : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    QString menuTitle() const { return QStringLiteral("Check for Updates…"); }
    void checkForUpdates() {}
    // Set when the application quits to install an update; the engine is then not shut down.
    bool isQuittingForUpdate() const { return quittingForUpdate_; }

private:
    bool quittingForUpdate_ = false;
};

}  // namespace quellor
