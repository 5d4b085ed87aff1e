#include "ui/settings/StripCountCard.h"

#include "ui/console/StoredStripCount.h"
#include "ui/settings/SettingCards.h"

namespace quellor {

StripCountCard::StripCountCard(UserDefaults& defaults, ThemeController& themes, QWidget* parent)
    : SettingCard(defaults, themes, QString::fromLatin1(kConsoleStripsKey), stripCountSwitch, SettingCardLook::stripIcon(),
                  parent) {
    setObjectName(QStringLiteral("strip-count-card"));
}

}  // namespace quellor
