#include "ui/style/ThemeMode.h"

namespace quellor {

namespace {

// One row per palette field in declaration order; one column per theme (booth, studio, daylight).
// The LCD colours stay dark in the light theme.
constexpr quint32 kPaletteTable[16][3] = {
    {0x0A0A0B, 0x141519, 0xD0D0D0},  // void
    {0x131314, 0x1F2025, 0xC1C1C1},  // panel
    {0x1C1C1E, 0x2C2D33, 0xE6E6E6},  // elevated
    {0x161617, 0x24252B, 0xC9C9C9},  // rowHover
    {0x1B1B1D, 0x2C2E36, 0xB3B3B3},  // rowSelected
    {0x2A2A2C, 0x3D3E46, 0x9A9A9A},  // hair
    {0x1D1D1F, 0x2A2B31, 0xB4B4B4},  // hairSoft
    {0xF5F5F4, 0xE8E8E4, 0x0D0D0D},  // textPrimary
    {0x9A9A9D, 0xB4B4B8, 0x303030},  // textSecondary
    {0x5C5C60, 0x6A6A70, 0x575757},  // textMuted
    {0xF0C46A, 0xF0C46A, 0xA66B00},  // brand
    {0x5AC8E8, 0x5AC8E8, 0x0B6F8C},  // signal
    {0xB4BFD6, 0xB4BFD6, 0x2F4AB8},  // wave
    {0xE6ECF8, 0xE6ECF8, 0x4A5CD8},  // waveSelected
    {0x0A0A0B, 0x141519, 0x1C1C20},  // lcd
    {0x5C5C60, 0x6A6A70, 0xA2A2AA},  // lcdMuted
};

int index(ThemeMode mode) { return static_cast<int>(mode); }

}  // namespace

QString rawValue(ThemeMode mode) {
    switch (mode) {
    case ThemeMode::Booth: return QStringLiteral("booth");
    case ThemeMode::Studio: return QStringLiteral("studio");
    case ThemeMode::Daylight: return QStringLiteral("daylight");
    }
    return QStringLiteral("booth");
}

QString displayName(ThemeMode mode) {
    QString raw = rawValue(mode);
    return raw.left(1).toUpper() + raw.mid(1);
}

ColorScheme colorScheme(ThemeMode mode) { return mode == ThemeMode::Daylight ? ColorScheme::Light : ColorScheme::Dark; }

std::optional<ThemeMode> themeFromRawValue(const QString& raw) {
    for (auto mode : kAllThemes)
        if (rawValue(mode) == raw) return mode;
    return std::nullopt;
}

ThemeMode themeFromStoredValue(const std::optional<QString>& stored) {
    return themeFromRawValue(stored.value_or(QStringLiteral("booth"))).value_or(ThemeMode::Booth);
}

QColor colorFromHex(quint32 hex) {
    return QColor::fromRgbF(float(((hex >> 16) & 0xFF) / 255.0), float(((hex >> 8) & 0xFF) / 255.0),
                            float((hex & 0xFF) / 255.0), 1.0f);
}

Palette palette(ThemeMode mode) {
    int t = index(mode);
    auto c = [t](int row) { return colorFromHex(kPaletteTable[row][t]); };
    return Palette{c(0), c(1), c(2), c(3), c(4), c(5), c(6), c(7), c(8), c(9), c(10), c(11), c(12), c(13), c(14), c(15)};
}

QColor brandOnDark() { return colorFromHex(0xF0C46A); }
QColor signalOnDark() { return colorFromHex(0x5AC8E8); }

}  // namespace quellor
