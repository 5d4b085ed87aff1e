#pragma once
// (Interim: the fonts of the design are installed with the embedded icon set.)
#include <QFont>

namespace quellor {

QFont systemFont(int pixelSize, QFont::Weight weight = QFont::Normal);
QFont monoFont(int pixelSize, QFont::Weight weight = QFont::Normal);
void installApplicationFont();

}  // namespace quellor
