#include "app/WarningYellow.h"

namespace quellor {

QColor warningYellow(ThemeMode mode) {
    return colorScheme(mode) == ColorScheme::Light ? colorFromHex(0xFFCC00) : colorFromHex(0xFFD60A);
}

}  // namespace quellor
