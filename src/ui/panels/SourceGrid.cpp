#include "ui/panels/SourceGrid.h"

#include <algorithm>
#include <cmath>

#include "ui/panels/PanelMetrics.h"
#include "ui/panels/SourceGridColumns.h"

namespace quellor {

SourceGrid::Placement SourceGrid::place(int viewportWidth, int apps, int io, const Heights& heights) {
    using Grid = PanelMetrics::SourceGrid;
    const int inner = std::max(0, viewportWidth - 2 * Grid::kSidePadding);
    const auto columns = SourceGridColumns::fitting(inner);
    int y = Grid::kTopPadding;
    auto section = [&](int tiles, bool showsEmptyText) {
        Section s;
        s.title = QRect(Grid::kSidePadding, y, inner, heights.title);
        y += heights.title + Grid::kTitleSpacing;
        if (tiles == 0 && showsEmptyText) {
            s.emptyText = QRect(Grid::kSidePadding, y, inner, heights.emptyText);
            y += heights.emptyText;
            return s;
        }
        for (int i = 0; i < tiles; ++i)
            s.tiles.push_back(columns.cell(i, heights.tile).translated(Grid::kSidePadding, y).toRect());
        y += int(std::ceil(columns.height(tiles, heights.tile)));
        return s;
    };
    Placement placement;
    placement.apps = section(apps, true);
    y += Grid::kSectionSpacing;
    placement.io = section(io, false);
    placement.height = y + Grid::kBottomPadding;
    return placement;
}

QRect SourceGrid::headerTitle(int width) {
    using Grid = PanelMetrics::SourceGrid;
    return {Grid::kHeaderPadding, 0, std::max(0, width - 2 * Grid::kHeaderPadding), Grid::kHeaderHeight};
}

QRect SourceGrid::headerRule(int width) {
    return {0, PanelMetrics::SourceGrid::kHeaderHeight, width, PanelMetrics::SourceGrid::kHeaderRule};
}

int SourceGrid::contentTop() { return PanelMetrics::SourceGrid::kHeaderHeight + PanelMetrics::SourceGrid::kHeaderRule; }

}  // namespace quellor
