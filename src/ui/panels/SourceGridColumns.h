#pragma once
// The columns of a grid of source tiles in a given width: as many as fit at the minimum column width
// with the cell spacing between them (at least one), each as wide as the width allows up to the
// maximum column width (PanelMetrics::SourceGrid). The grid keeps to the leading edge: a width that
// makes every column as wide as it may be leaves the rest of the row empty on the trailing side. Rows
// are the cell spacing apart and filled in list order.
//
// Threads: values only.

#include <QRectF>

namespace quellor {

struct SourceGridColumns {
    int count = 1;
    double width = 0;

    static SourceGridColumns fitting(double available);

    // The cell of tile `index` for rows `rowHeight` high, from the grid's top-leading corner.
    QRectF cell(int index, double rowHeight) const;
    // The height of a grid of `tiles` tiles (0 for none).
    double height(int tiles, double rowHeight) const;

    bool operator==(const SourceGridColumns&) const = default;
};

}  // namespace quellor
