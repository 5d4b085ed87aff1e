#pragma once
// The meter-source card ("meter-card", its switch "meter-source"): PRE or POST meters, stored
// under "meterSource".
//
// Threads: main thread only. The defaults and the theme controller must outlive the card.
#include "ui/settings/SettingCard.h"

namespace quellor {

class MeterCard : public SettingCard {
    Q_OBJECT
public:
    MeterCard(UserDefaults& defaults, ThemeController& themes, QWidget* parent = nullptr);
};

}  // namespace quellor
