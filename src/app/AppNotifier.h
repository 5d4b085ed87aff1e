#pragma once
// The application-wide requests that the menu commands, the update path and other windows make of
// the main window's view: open the new-setup or rename prompt, show the settings, dismiss both
// sheets. One instance lives for the process; whoever requests emits, the main window view listens.
//
// Threads: main thread only.
#include <QObject>

namespace quellor {

enum class AppNotification { NewSetup, RenameSetup, ShowSettings, DismissSheets };

class AppNotifier : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    void post(AppNotification notification) { emit posted(notification); }

signals:
    void posted(AppNotification notification);
};

}  // namespace quellor
