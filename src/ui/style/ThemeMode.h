#pragma once
// The three themes every window paints with, and their sixteen colours. A palette is a pure function
// of the theme, built from fixed tables when a view asks for it, so a change of theme invalidates
// nothing that was stored. Values only: usable from any thread.
#include <QColor>
#include <QString>
#include <array>
#include <optional>

namespace quellor {

enum class ThemeMode { Booth, Studio, Daylight };

// The order of the theme menu and of the theme switch's segments.
inline constexpr std::array<ThemeMode, 3> kAllThemes{ThemeMode::Booth, ThemeMode::Studio, ThemeMode::Daylight};

enum class ColorScheme { Dark, Light };

QString rawValue(ThemeMode mode);         // "booth", "studio", "daylight"
QString displayName(ThemeMode mode);      // "Booth", "Studio", "Daylight"
ColorScheme colorScheme(ThemeMode mode);  // Light for daylight only
// Exact, case-sensitive: "Booth" names no theme.
std::optional<ThemeMode> themeFromRawValue(const QString& raw);
// The theme a stored "theme" value selects: booth when absent or naming no theme.
ThemeMode themeFromStoredValue(const std::optional<QString>& stored);

// 0xRRGGBB to an sRGB colour of opacity 1; bits above the low 24 are ignored.
QColor colorFromHex(quint32 hex);

struct Palette {
    QColor void_;  // "void" is a keyword in C++
    QColor panel;
    QColor elevated;
    QColor rowHover;
    QColor rowSelected;
    QColor hair;
    QColor hairSoft;
    QColor textPrimary;
    QColor textSecondary;
    QColor textMuted;
    QColor brand;
    QColor signal;
    QColor wave;
    QColor waveSelected;
    QColor lcd;
    QColor lcdMuted;
};

Palette palette(ThemeMode mode);

// Accents for content drawn on a dark surface whatever the theme (the LCD readouts, badges).
QColor brandOnDark();
QColor signalOnDark();

}  // namespace quellor
