#pragma once
// The update controller's host served from the running QApplication: the application's active
// state, alerts as window-modal message boxes over the presenting window, and quitting.
//
// Threads: main thread only.
#include "app/UpdateHost.h"

class QWidget;

namespace quellor {

class QtUpdateHost : public UpdateHost {
    Q_OBJECT
public:
    explicit QtUpdateHost(QObject* parent = nullptr);

    // The first visible top-level window, in the application's window list, that is no dialog and
    // has no visible sheet; null when there is none.
    static QWidget* presentingWindow();

    bool isActive() const override;
    void presentAlert(const Alert& alert, std::function<void(int button)> answer) override;
    void endAttachedSheets() override;
    void requestTermination() override;
};

}  // namespace quellor
