#pragma once
// The tabs of the settings window, in the order of its tab bar. Each tab is known by its raw value
// (its identity, which is how a tab is named from outside) and shows a shorter label: the audio tab
// is "Audio & Recordings" by identity but reads "Audio" in the bar.
//
// Values only: usable from any thread.
#include <QString>
#include <array>
#include <optional>

namespace quellor {

enum class SettingsTab { General, Devices, Audio, IPhone };

inline constexpr std::array<SettingsTab, 4> kAllSettingsTabs{SettingsTab::General, SettingsTab::Devices,
                                                             SettingsTab::Audio, SettingsTab::IPhone};

QString rawValue(SettingsTab tab);
QString tabLabel(SettingsTab tab);
// Exactly the four raw values name a tab; any other text names none.
std::optional<SettingsTab> settingsTabFromRawValue(const QString& raw);
// The tab's position in the bar (0 for General).
int tabIndex(SettingsTab tab);

}  // namespace quellor
