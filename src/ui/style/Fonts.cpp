#include "ui/style/Fonts.h"

namespace quellor {

QFont systemFont(int pixelSize, QFont::Weight weight) {
    QFont f(QStringLiteral("Inter"));
    f.setPixelSize(pixelSize);
    f.setWeight(weight);
    return f;
}

QFont monoFont(int pixelSize, QFont::Weight weight) {
    QFont f(QStringLiteral("JetBrains Mono"));
    f.setStyleHint(QFont::Monospace);
    f.setPixelSize(pixelSize);
    f.setWeight(weight);
    return f;
}

void installApplicationFont() {}

}  // namespace quellor
