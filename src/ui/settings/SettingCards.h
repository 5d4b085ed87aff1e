#pragma once
// The logic of the meter-source and strip-count cards of the console's top bar. Each flips one user
// default with a two-position switch and acts on nothing else: the meter clock reads "meterSource"
// on every tick and the console follows "consoleStrips". Going back from 16 strips to 8 only stores
// 8; the sources of strips 9 to 16 stay in the console's slots for when 16 come back.
//
// Threads: main thread only (the user defaults store).

#include "ui/console/SlideSwitchWidget.h"
#include "ui/style/ThemeMode.h"

namespace quellor {

class UserDefaults;

// "meterSource": "pre" is PRE, anything else POST; a flip stores "pre" or "post".
SlideSwitchWidget::Options meterSourceSwitch(UserDefaults& defaults, const Palette& palette);
// "consoleStrips": 16 is 16, anything else 8; a flip stores 16 or 8.
SlideSwitchWidget::Options stripCountSwitch(UserDefaults& defaults, const Palette& palette);

}  // namespace quellor
