#include "app/UpdateBanner.h"

#include "app/UpdateController.h"
#include "app/UpdateWording.h"
#include "ui/style/ThemeController.h"

namespace quellor {

UpdateBanner::UpdateBanner(UpdateController& updater, ThemeController& themes, QString version, QWidget* parent)
    : InlineBanner(themes, QStringLiteral("arrow.down.circle.fill"), parent),
      updater_(updater),
      themes_(themes),
      version_(std::move(version)) {
    setObjectName(QStringLiteral("update-banner"));
    connect(&updater_, &UpdateController::stagedVersionChanged, this, &UpdateBanner::refresh);
    connect(&themes_, &ThemeController::themeChanged, this, &UpdateBanner::refresh);
    connect(this, &InlineBanner::buttonClicked, this, [this] { updater_.checkForUpdates(); });
    refresh();
}

void UpdateBanner::refresh() {
    const UpdateBannerWording wording = updateBannerWording(version_, updater_.stagedVersion().has_value());
    setTitle(wording.text);
    setButtonTitle(wording.buttonTitle);
    setTint(themes_.palette().brand);
}

}  // namespace quellor
