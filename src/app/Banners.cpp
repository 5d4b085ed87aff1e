#include "app/Banners.h"

#include "app/PermissionTexts.h"
#include "app/UpdateController.h"
#include "app/UpdateWording.h"
#include "platform/PrivacySettings.h"
#include "ui/style/ThemeController.h"

namespace quellor {

QColor warningYellow(ThemeMode mode) {
    return colorScheme(mode) == ColorScheme::Light ? colorFromHex(0xFFCC00) : colorFromHex(0xFFD60A);
}

PermissionBanner::PermissionBanner(ThemeController& themes, QWidget* parent)
    : InlineBanner(themes, QStringLiteral("exclamationmark.triangle.fill"), parent) {
    setObjectName(QStringLiteral("permission-banner"));
    setTitle(permission::kBannerTitle);
    setDetail(permission::kBannerDetail);
    setButtonTitle(permission::kBannerButton);
    setTint(warningYellow(themes.current()));
    connect(&themes, &ThemeController::themeChanged, this, [this](ThemeMode mode) { setTint(warningYellow(mode)); });
    connect(this, &InlineBanner::buttonClicked, this, [] { openAudioCapturePrivacySettings(); });
}

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
