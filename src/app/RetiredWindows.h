#pragma once
// Windows that close from inside their own events (a button of the window, the sheet over it)
// cannot be deleted on the spot. retire() closes the window at once and deletes it on the next
// turn of the main thread; whatever is still waiting is deleted with the holder.
//
// Threads: main thread only.
#include <QPointer>
#include <QWidget>
#include <vector>

#include "base/Scheduler.h"

namespace quellor {

class RetiredWindows {
public:
    RetiredWindows() = default;
    RetiredWindows(const RetiredWindows&) = delete;
    RetiredWindows& operator=(const RetiredWindows&) = delete;
    ~RetiredWindows() {
        for (const QPointer<QWidget>& w : windows_) delete w.data();
    }

    void retire(QWidget* window) {
        if (!window) return;
        window->close();
        windows_.emplace_back(window);
        Scheduler::current().post(alive_.guard([this] { sweep(); }));
    }

private:
    void sweep() {
        std::vector<QPointer<QWidget>> windows;
        windows.swap(windows_);
        for (const QPointer<QWidget>& w : windows) delete w.data();
    }

    std::vector<QPointer<QWidget>> windows_;
    Liveness alive_;
};

}  // namespace quellor
