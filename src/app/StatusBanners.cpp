#include "app/StatusBanners.h"

#include <QVBoxLayout>

#include "app/PermissionBanner.h"
#include "app/SourcesColumn.h"
#include "app/UpdateBanner.h"
#include "app/UpdateController.h"
#include "app/UpdateWording.h"
#include "engine/MixerEngine.h"

namespace quellor {

StatusBanners::StatusBanners(MixerEngine& engine, UpdateController& updater, ThemeController& themes,
                             SourcesColumn& column)
    : QObject(&column),
      engine_(engine),
      updater_(updater),
      themes_(themes),
      column_(column),
      permission_(new PermissionBanner(themes)),
      updateSlot_(new QWidget) {
    column_.addBanner(permission_);
    auto* slot = new QVBoxLayout(updateSlot_);
    slot->setContentsMargins(0, 0, 0, 0);
    column_.addBanner(updateSlot_);
    connect(&engine_, &MixerEngine::needsAudioCapturePermissionChanged, this, &StatusBanners::refresh);
    connect(&updater_, &UpdateController::availableVersionChanged, this, &StatusBanners::refresh);
    connect(&updater_, &UpdateController::stagedVersionChanged, this, &StatusBanners::refresh);
    refresh();
}

void StatusBanners::refresh() {
    permission_->setVisible(engine_.needsAudioCapturePermission());
    const std::optional<QString> version = updateBannerVersion(updater_.stagedVersion(), updater_.availableVersion());
    if (!update_ || !version || update_->version() != *version) {
        delete update_;
        update_ = nullptr;
        if (version) {
            update_ = new UpdateBanner(updater_, themes_, *version, updateSlot_);
            updateSlot_->layout()->addWidget(update_);
        }
    }
    updateSlot_->setVisible(update_ != nullptr);
}

}  // namespace quellor
