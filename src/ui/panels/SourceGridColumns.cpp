#include "ui/panels/SourceGridColumns.h"

#include <algorithm>
#include <cmath>

#include "ui/panels/PanelMetrics.h"

namespace quellor {

SourceGridColumns SourceGridColumns::fitting(double available) {
    SourceGridColumns c;
    using Grid = PanelMetrics::SourceGrid;
    const double pitch = Grid::kColumnMinimumWidth + Grid::kCellSpacing;
    c.count = std::max(1, int(std::floor((available + Grid::kCellSpacing) / pitch)));
    c.width = std::clamp((available - Grid::kCellSpacing * (c.count - 1)) / c.count, 0.0, Grid::kColumnMaximumWidth);
    return c;
}

QRectF SourceGridColumns::cell(int index, double rowHeight) const {
    const int row = index / count;
    const int column = index % count;
    const double spacing = PanelMetrics::SourceGrid::kCellSpacing;
    return {column * (width + spacing), row * (rowHeight + spacing), width, rowHeight};
}

double SourceGridColumns::height(int tiles, double rowHeight) const {
    if (tiles <= 0) return 0;
    const int rows = (tiles + count - 1) / count;
    return rows * rowHeight + (rows - 1) * PanelMetrics::SourceGrid::kCellSpacing;
}

}  // namespace quellor
