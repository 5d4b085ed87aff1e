#pragma once
// The automatic colour of a name: the same text gives the same one of six colours in every run.
#include <QColor>
#include <QString>

namespace quellor {

// The text's hash (djb2 over Unicode scalars, kept to 31 bits after each step); the empty text
// hashes to nothing and takes the last hue.
int paletteHueIndex(const QString& text);
QColor paletteColor(const QString& text);

}  // namespace quellor
