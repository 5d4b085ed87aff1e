#include "ui/console/ConsoleLayout.h"

#include <algorithm>

#include "ui/console/StoredStripCount.h"

namespace quellor {

using G = ConsoleMetrics::Grid;

ConsoleLayout ConsoleLayout::of(QSizeF available, qint64 requestedCount) {
    ConsoleLayout l;
    l.available = available;
    l.stripCount = stripCountOf(requestedCount);
    l.perRow = available.width() >= G::kEightPerRowWidth ? 8 : 4;
    l.rows = (l.stripCount + l.perRow - 1) / l.perRow;
    l.rowSpacing = l.rows >= 3 ? G::kManyRowsSpacing : G::kRowSpacing;
    const int rows = std::max(l.rows, 1);
    l.rawRowHeight = (available.height() - (rows - 1) * l.rowSpacing) / rows;
    l.stripHeight = std::max(G::kMinStripHeight, l.rawRowHeight);
    l.compact = l.stripHeight < G::kCompactBelowHeight ||
                (available.width() - G::kCompactWidthAllowance) / l.perRow < G::kCompactBelowStripWidth;
    l.stripWidthLimit = l.rows >= 2 ? G::kStripWidthLimitInRows : G::kStripWidthLimit;
    l.scrolls = l.rawRowHeight < G::kMinStripHeight;
    return l;
}

QSizeF ConsoleLayout::availableSize(QSizeF outer) {
    return {std::max(outer.width(), G::kMinimumWidth) - 2 * G::kPadding,
            std::max(outer.height(), G::kMinimumHeight) - 2 * G::kPadding};
}

double ConsoleLayout::contentHeight() const { return rows * stripHeight + (rows - 1) * rowSpacing; }

double ConsoleLayout::cellWidth() const {
    return std::clamp((available.width() - (perRow - 1) * G::kMinGap) / perRow, 0.0, stripWidthLimit);
}

double ConsoleLayout::gap() const {
    return perRow > 1 ? (available.width() - perRow * cellWidth()) / (perRow - 1) : 0;
}

QRectF ConsoleLayout::cellRect(int index) const {
    const int row = rowOf(index);
    const int column = index % perRow;
    return {column * (cellWidth() + gap()), row * (stripHeight + rowSpacing), cellWidth(), stripHeight};
}

}  // namespace quellor
