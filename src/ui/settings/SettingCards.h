#pragma once
// The logic of the meter-source and strip-count cards of the console's top bar. Each flips one user
// default with a two-position switch and acts on nothing else: the meter clock reads "meterSource"
// on every tick and the console follows "consoleStrips". Going back from 16 strips to 8 only stores
// 8; the sources of strips 9 to 16 stay in the console's slots for when 16 come back.
//
// Threads: main thread only (the user defaults store).

#include <QRectF>
#include <vector>

#include "ui/console/SlideSwitchWidget.h"
#include "ui/style/ThemeMode.h"

namespace quellor {

class UserDefaults;

struct SettingCardLook {
    static constexpr double kHeight = 28;
    static constexpr double kSpacing = 8;
    static constexpr double kCornerRadius = 5;
    static constexpr double kIconHeight = 12;
    static constexpr double kLeading = 8;   // before the icon
    static constexpr double kTrailing = 8;  // after the switch

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
};

// "meterSource": "pre" is PRE, anything else POST; a flip stores "pre" or "post".
SlideSwitchWidget::Options meterSourceSwitch(UserDefaults& defaults, const Palette& palette);
// "consoleStrips": 16 is 16, anything else 8; a flip stores 16 or 8.
SlideSwitchWidget::Options stripCountSwitch(UserDefaults& defaults, const Palette& palette);

}  // namespace quellor
