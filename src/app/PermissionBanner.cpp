#include "app/PermissionBanner.h"

#include "app/PermissionTexts.h"
#include "app/WarningYellow.h"
#include "platform/PrivacySettings.h"
#include "ui/style/ThemeController.h"

namespace quellor {

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

}  // namespace quellor
