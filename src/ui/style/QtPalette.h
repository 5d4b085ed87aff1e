#pragma once
// The theme's colours as a QPalette, so that the widgets Qt paints itself (menus, tooltips, dialogs,
// text fields) match the windows.
#include <QPalette>

#include "ui/style/ThemeMode.h"

namespace quellor {

QPalette qtPalette(ThemeMode mode);
// The style sheet of the popups Qt draws itself, menus and tooltips: the theme's raised surface
// with a border and separators that stand out from it (Fusion's own, drawn from the window colour,
// all but vanish on the dark themes), and the brand colour on the item under the pointer.
QString popupStyleSheet(ThemeMode mode);
// Sets the application palette (and the Fusion style, which follows the palette faithfully), the
// palettes of menus and tooltips (which a desktop theme may have set apart from it) and the popup
// style sheet when a QApplication exists; does nothing otherwise.
void applyApplicationPalette(ThemeMode mode);

}  // namespace quellor
