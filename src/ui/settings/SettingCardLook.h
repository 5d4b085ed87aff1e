#pragma once
// The icon of a setting card of the console's top bar, as rounded shapes (its frame and spacing
// are in SettingsMetrics).
//
// Values only: any thread.
#include <QRectF>
#include <vector>

#include "ui/settings/SettingsMetrics.h"

namespace quellor {

struct SettingCardLook {
    // A rounded rectangle of an icon, in the icon's own space (origin top left, 12 high).
    struct IconShape {
        QRectF rect;
        double radius;
    };
    // Four bars of heights 5, 9, 12 and 7, 2 wide and 2 apart, standing on the bottom edge.
    static std::vector<IconShape> meterIcon();
    // Three small faders 3 apart in 5 x 12 cells: a 1.6-wide track and a 5 x 2.6 knob, the knobs
    // 3 up, 2 down and 1 up from the cell's middle.
    static std::vector<IconShape> stripIcon();
    static double iconWidth(const std::vector<IconShape>& shapes);
    // Where the card's switch starts: after the leading margin, the icon and the spacing.
    static double switchLeading(const std::vector<IconShape>& icon);
    // The icon's top left corner in a card `cardHeight` high: in the leading margin, centred.
    static QPointF iconOrigin(double cardHeight);
};

}  // namespace quellor
