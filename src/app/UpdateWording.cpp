#include "app/UpdateWording.h"

namespace quellor {

QString updateMenuTitle(const std::optional<QString>& staged, const std::optional<QString>& available) {
    if (staged) return QStringLiteral("Restart to Update to ") + *staged;
    if (available) return QStringLiteral("Update to ") + *available + QStringLiteral("…");
    return QStringLiteral("Check for Updates…");
}

std::optional<QString> startupUpdateTitle(const std::optional<QString>& available) {
    if (!available) return std::nullopt;
    return QStringLiteral("Update to ") + *available + QStringLiteral("…");
}

std::optional<QString> updateBannerVersion(const std::optional<QString>& staged, const std::optional<QString>& available) {
    return staged ? staged : available;
}

UpdateBannerWording updateBannerWording(const QString& version, bool staged) {
    if (staged) return {QStringLiteral("Quellor ") + version + QStringLiteral(" is ready to install"), QStringLiteral("Restart")};
    return {QStringLiteral("Quellor ") + version + QStringLiteral(" is available"), QStringLiteral("Update")};
}

}  // namespace quellor
