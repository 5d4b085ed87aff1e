#include "ui/style/PaletteColor.h"

#include <array>

namespace quellor {

namespace {
constexpr std::array<double, 6> kHues{0.52, 0.6, 0.78, 0.33, 0.95, 0.45};
}

int paletteHueIndex(const QString& text) {
    if (text.isEmpty()) return 5;
    quint32 h = 5381;
    for (char32_t scalar : text.toUcs4()) {
        h = h * 33u + quint32(scalar);
        h &= 0x7FFFFFFFu;
    }
    return int(h % 6u);
}

QColor paletteColor(const QString& text) {
    return QColor::fromHsvF(float(kHues[size_t(paletteHueIndex(text))]), 0.45f, 0.85f, 1.0f);
}

}  // namespace quellor
