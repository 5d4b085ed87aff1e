#pragma once
// The columns of a grid of source tiles in a given width: as many as fit at 92 points each with 8
// points between them (at least one), each as wide as the width allows up to 120 points. The grid
// keeps to the leading edge: a width that makes every column 120 points wide leaves the rest of the
// row empty on the trailing side. Rows are 8 points apart and filled in list order.
//
// Threads: values only.

#include <QRectF>

namespace quellor {

struct SourceGridColumns {
    static constexpr double kMinimumWidth = 92;
    static constexpr double kMaximumWidth = 120;
    static constexpr double kSpacing = 8;

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
