#include "ui/console/ConsoleColors.h"

namespace quellor {

namespace {

QColor byAppearance(ThemeMode mode, quint32 light, quint32 dark) {
    return colorFromHex(colorScheme(mode) == ColorScheme::Light ? light : dark);
}

}  // namespace

QColor cueColor(ThemeMode mode) { return colorFromHex(mode == ThemeMode::Daylight ? 0xD2731C : 0xF29A4A); }
QColor standardRed(ThemeMode mode) { return byAppearance(mode, 0xFF3B30, 0xFF453A); }
QColor standardYellow(ThemeMode mode) { return byAppearance(mode, 0xFFCC00, 0xFFD60A); }
QColor standardOrange(ThemeMode mode) { return byAppearance(mode, 0xFF9500, 0xFF9F0A); }

QColor quaternaryFill(ColorScheme scheme) {
    return scheme == ColorScheme::Dark ? QColor(118, 118, 128, 46) : QColor(116, 116, 128, 20);
}

QColor withOpacity(QColor color, double opacity) {
    color.setAlphaF(float(color.alphaF() * opacity));
    return color;
}

}  // namespace quellor
