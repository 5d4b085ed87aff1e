#pragma once
// What the update controller needs of the application around it: whether the application is the
// active one, alerts, the end of attached sheets, quitting, and the moment it stops being active.
// QtUpdateHost serves it from the running QApplication; tests use a fake.
//
// Threads: main thread only.
#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>

namespace quellor {

class UpdateHost : public QObject {
    Q_OBJECT
public:
    struct Alert {
        QString message;
        QString informativeText;
        QStringList buttons;  // the first is the default
    };

    using QObject::QObject;

    virtual bool isActive() const = 0;
    // Shows the alert as a sheet on the presenting window, or application-modal when there is
    // none, and returns at once; `answer` receives the index of the button chosen.
    virtual void presentAlert(const Alert& alert, std::function<void(int button)> answer) = 0;
    // Ends every sheet attached to a window of the application.
    virtual void endAttachedSheets() = 0;
    // Asks the application to quit, the ordinary way.
    virtual void requestTermination() = 0;

signals:
    // The application stopped being the active application.
    void didResignActive();
};

}  // namespace quellor
