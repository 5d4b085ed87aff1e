#include "ui/panels/SourceGridColumns.h"

#include <algorithm>
#include <cmath>

namespace quellor {

SourceGridColumns SourceGridColumns::fitting(double available) {
    SourceGridColumns c;
    c.count = std::max(1, int(std::floor((available + kSpacing) / (kMinimumWidth + kSpacing))));
    c.width = std::clamp((available - kSpacing * (c.count - 1)) / c.count, 0.0, kMaximumWidth);
    return c;
}

QRectF SourceGridColumns::cell(int index, double rowHeight) const {
    const int row = index / count;
    const int column = index % count;
    return {column * (width + kSpacing), row * (rowHeight + kSpacing), width, rowHeight};
}

double SourceGridColumns::height(int tiles, double rowHeight) const {
    if (tiles <= 0) return 0;
    const int rows = (tiles + count - 1) / count;
    return rows * rowHeight + (rows - 1) * kSpacing;
}

}  // namespace quellor
