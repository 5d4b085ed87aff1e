#include "app/PermissionWindow.h"

#include "app/PermissionTexts.h"
#include "engine/MixerEngine.h"
#include "ui/style/WindowPlacement.h"

namespace quellor {

PermissionWindow::PermissionWindow(MixerEngine& engine, ThemeController& themes, QObject* parent)
    : PermissionWindow([e = QPointer<MixerEngine>(&engine)] { return e && e->needsAudioCapturePermission(); }, themes,
                       parent) {
    connect(&engine, &MixerEngine::needsAudioCapturePermissionChanged, this, &PermissionWindow::flagChanged);
}

PermissionWindow::PermissionWindow(std::function<bool()> flag, ThemeController& themes, QObject* parent)
    : QObject(parent), flag_(std::move(flag)), themes_(themes) {
    update();
}

PermissionWindow::~PermissionWindow() { delete window_.data(); }

void PermissionWindow::flagChanged() {
    Scheduler::current().post(alive_.guard([this] { update(); }));
}

void PermissionWindow::update() {
    if (!flag_()) {
        if (window_) log_.info("Audio capture is allowed again; closing the permission window");
        dropWindow();
        return;
    }
    if (shownThisLaunch_) return;
    shownThisLaunch_ = true;
    log_.info("Audio capture is not allowed; explaining the permission");
    auto* view = new PermissionWindowView(themes_, [weak = alive_.weak(), this] {
        if (weak.lock()) close();
    });
    view->setWindowTitle(permission::kWindowTitle);
    view->setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    view->setAttribute(Qt::WA_DeleteOnClose, false);
    centreOnPrimaryScreen(*view);
    showInFront(*view);
    dropWindow();
    window_ = view;
}

void PermissionWindow::close() { dropWindow(); }

void PermissionWindow::bringToFront() {
    if (window_ && window_->isVisible()) showInFront(*window_);
}

void PermissionWindow::dropWindow() {
    QWidget* window = window_;
    window_ = nullptr;
    // The window may be closing from one of its own buttons.
    retired_.retire(window);
}

}  // namespace quellor
