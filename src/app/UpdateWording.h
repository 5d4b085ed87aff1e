#pragma once
// The words every update control shows, from the two versions the update controller knows: the
// version staged for installation and the version found available. A staged version always wins,
// since that is what a restart would install.
//
// Values only: any thread.
#include <QString>
#include <optional>

namespace quellor {

// "Restart to Update to <staged>", else "Update to <available>…", else "Check for Updates…".
QString updateMenuTitle(const std::optional<QString>& staged, const std::optional<QString>& available);

// The startup screen's update button: "Update to <available>…" when a version is available.
std::optional<QString> startupUpdateTitle(const std::optional<QString>& available);

// The version the update banner reports: the staged one, else the available one; none hides it.
std::optional<QString> updateBannerVersion(const std::optional<QString>& staged, const std::optional<QString>& available);

struct UpdateBannerWording {
    QString text;         // "Quellor 2.1 is available" / "Quellor 2.1 is ready to install"
    QString buttonTitle;  // "Update" / "Restart"
    friend bool operator==(const UpdateBannerWording&, const UpdateBannerWording&) = default;
};
UpdateBannerWording updateBannerWording(const QString& version, bool staged);

}  // namespace quellor
