#pragma once
// The console's colours that are not fields of the theme palette: the cue colour of strips,
// buttons, faders and meters, and the standard red, yellow and orange of the desktop (SOLO, MUTE,
// meter peaks, the clip lamp, the learn badge), each in its light-appearance shade under the
// daylight theme and its dark-appearance shade otherwise.
//
// Threads: values only; any thread.

#include <QColor>

#include "ui/style/ThemeMode.h"

namespace quellor {

// 0xF29A4A, or the darker 0xD2731C that stays readable on daylight's light surfaces.
QColor cueColor(ThemeMode mode);
QColor standardRed(ThemeMode mode);
QColor standardYellow(ThemeMode mode);
QColor standardOrange(ThemeMode mode);

// The desktop's quaternary fill (tracks, chosen segments, row highlights), by appearance.
QColor quaternaryFill(ColorScheme scheme);

// The colour at a given opacity (0...1).
QColor withOpacity(QColor color, double opacity);

}  // namespace quellor
