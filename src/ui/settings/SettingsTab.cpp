#include "ui/settings/SettingsTab.h"

namespace quellor {

QString rawValue(SettingsTab tab) {
    switch (tab) {
    case SettingsTab::General: return QStringLiteral("General");
    case SettingsTab::Devices: return QStringLiteral("Devices");
    case SettingsTab::Audio: return QStringLiteral("Audio & Recordings");
    case SettingsTab::IPhone: return QStringLiteral("iOS");
    }
    return {};
}

QString tabLabel(SettingsTab tab) {
    return tab == SettingsTab::Audio ? QStringLiteral("Audio") : rawValue(tab);
}

std::optional<SettingsTab> settingsTabFromRawValue(const QString& raw) {
    for (SettingsTab tab : kAllSettingsTabs)
        if (rawValue(tab) == raw) return tab;
    return std::nullopt;
}

int tabIndex(SettingsTab tab) {
    for (std::size_t i = 0; i < kAllSettingsTabs.size(); ++i)
        if (kAllSettingsTabs[i] == tab) return int(i);
    return 0;
}

}  // namespace quellor
