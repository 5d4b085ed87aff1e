#pragma once
// The strip-count card ("strip-count-card", its switch "strip-count"): 8 or 16 strips, stored
// under "consoleStrips".
//
// Threads: main thread only. The defaults and the theme controller must outlive the card.
#include "ui/settings/SettingCard.h"

namespace quellor {

class StripCountCard : public SettingCard {
    Q_OBJECT
public:
    StripCountCard(UserDefaults& defaults, ThemeController& themes, QWidget* parent = nullptr);
};

}  // namespace quellor
