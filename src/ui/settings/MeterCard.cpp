#include "ui/settings/MeterCard.h"

#include "engine/MeterSource.h"
#include "ui/settings/SettingCards.h"

namespace quellor {

MeterCard::MeterCard(UserDefaults& defaults, ThemeController& themes, QWidget* parent)
    : SettingCard(defaults, themes, MeterSources::kDefaultsKey, meterSourceSwitch, SettingCardLook::meterIcon(), parent) {
    setObjectName(QStringLiteral("meter-card"));
}

}  // namespace quellor
