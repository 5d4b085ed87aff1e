#include "ui/settings/SettingCardLook.h"

#include <algorithm>

namespace quellor {

std::vector<SettingCardLook::IconShape> SettingCardLook::meterIcon() {
    std::vector<IconShape> bars;
    double x = 0;
    for (const double h : {5.0, 9.0, 12.0, 7.0}) {
        bars.push_back({QRectF(x, SettingsMetrics::SettingCard::kIconHeight - h, 2, h), 0.6});
        x += 2 + 2;
    }
    return bars;
}

std::vector<SettingCardLook::IconShape> SettingCardLook::stripIcon() {
    constexpr double kCell = 5, kTrack = 1.6, kKnobHeight = 2.6;
    std::vector<IconShape> shapes;
    double x = 0;
    for (const double v : {3.0, 8.0, 5.0}) {
        shapes.push_back({QRectF(x + (kCell - kTrack) / 2, 0, kTrack, SettingsMetrics::SettingCard::kIconHeight), 0.6});
        const double middle = SettingsMetrics::SettingCard::kIconHeight / 2 + (v - 6);
        shapes.push_back({QRectF(x, middle - kKnobHeight / 2, kCell, kKnobHeight), 0.8});
        x += kCell + 3;
    }
    return shapes;
}

double SettingCardLook::iconWidth(const std::vector<IconShape>& shapes) {
    double right = 0;
    for (const IconShape& s : shapes) right = std::max(right, s.rect.right());
    return right;
}

double SettingCardLook::switchLeading(const std::vector<IconShape>& icon) {
    return SettingsMetrics::SettingCard::kLeading + iconWidth(icon) + SettingsMetrics::SettingCard::kSpacing;
}

QPointF SettingCardLook::iconOrigin(double cardHeight) {
    return {SettingsMetrics::SettingCard::kLeading, (cardHeight - SettingsMetrics::SettingCard::kIconHeight) / 2};
}

}  // namespace quellor
