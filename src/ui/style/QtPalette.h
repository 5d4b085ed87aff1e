#pragma once
// The theme's colours as a QPalette, so that the widgets Qt paints itself (menus, tooltips, dialogs,
// text fields) match the windows.
#include <QPalette>

#include "ui/style/ThemeMode.h"

namespace quellor {

QPalette qtPalette(ThemeMode mode);
// Sets the application palette (and the Fusion style, which follows the palette faithfully) when a
// QApplication exists; does nothing otherwise.
void applyApplicationPalette(ThemeMode mode);

}  // namespace quellor
