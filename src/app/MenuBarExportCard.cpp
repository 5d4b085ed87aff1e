#include "app/MenuBarExportCard.h"

namespace quellor {

MenuBarExportCard::MenuBarExportCard() : view_(std::make_unique<MenuBarCardView>()) {}
MenuBarExportCard::~MenuBarExportCard() = default;

void seedStatusItemPositions(UserDefaults& defaults) {
    if (defaults.boolOr(QStringLiteral("menuBarPriorityV3"), false)) return;
    defaults.setInteger(QStringLiteral("NSStatusItem Preferred Position QuellorMain"), 2);
    defaults.setInteger(QStringLiteral("NSStatusItem Preferred Position QuellorRecording"), 3);
    defaults.setInteger(QStringLiteral("NSStatusItem Preferred Position Item-0"), 4);
    defaults.setBool(QStringLiteral("menuBarPriorityV3"), true);
}

}  // namespace quellor
