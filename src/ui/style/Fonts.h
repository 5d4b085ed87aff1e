#pragma once
// The two type designs of the windows: the system font (Inter) and the monospaced design (JetBrains
// Mono). Sizes are in logical pixels, one pixel for each point of the design, so text keeps its size
// whatever the screen's dots per inch. A family that is not installed falls back to the platform's
// general or fixed-pitch font, logged once.
//
// For the main thread, after the QGuiApplication exists.
#include <QFont>
#include <QString>

namespace quellor {

inline const QString kSystemFontFamily = QStringLiteral("Inter");
inline const QString kMonospacedFontFamily = QStringLiteral("JetBrains Mono");
// The size of ordinary control text, and of the application font.
inline constexpr int kDefaultFontPixelSize = 13;

QFont systemFont(int pixelSize, QFont::Weight weight = QFont::Normal);
QFont monoFont(int pixelSize, QFont::Weight weight = QFont::Normal);

// Makes the system font at the default size the application font, so that menus, tool tips and
// dialogs use it too.
void installApplicationFont();

}  // namespace quellor
