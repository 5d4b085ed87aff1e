#pragma once
// How the console's grid of strip slots stands in the space it is given: strips per row (eight
// once the width allows 584 points, else four), rows, row spacing, strip height (never below 220:
// below that the grid scrolls vertically instead), the compact form of the strips, the width limit
// of a strip, and where each slot's cell lies. A pure function of the available size (the area
// inside the console's 8-point padding) and the strip count, worked out afresh on every layout pass.
//
// A row spreads its cells over the whole width: each cell is at most stripWidthLimit wide, the gaps
// between them are equal and at least 8 points, the first cell sits at the row's left edge and the
// last at its right edge.
//
// Threads: values only.

#include <QRectF>
#include <QSizeF>
#include <QtGlobal>

#include "ui/console/ConsoleMetrics.h"

namespace quellor {

struct ConsoleLayout {
    // The table's entry, under the name the whole-program tests use.
    static constexpr double kPadding = ConsoleMetrics::Grid::kPadding;

    QSizeF available;
    int stripCount = 8;   // N: 8 or 16
    int perRow = 8;       // P: 4 or 8
    int rows = 1;         // R
    double rowSpacing = ConsoleMetrics::Grid::kRowSpacing;
    double rawRowHeight = 0;  // the height each row would get without the floor
    double stripHeight = ConsoleMetrics::Grid::kMinStripHeight;
    bool compact = false;
    double stripWidthLimit = ConsoleMetrics::Grid::kStripWidthLimit;
    // The rows keep stripHeight and the grid scrolls: the space is too low for them.
    bool scrolls = false;

    // `requestedCount` is the stored strip count; anything but 8 or 16 lays out 8.
    static ConsoleLayout of(QSizeF available, qint64 requestedCount);
    // The area inside the padding of a console `outer` large (never less than its minimum size).
    static QSizeF availableSize(QSizeF outer);

    int rowOf(int index) const { return index / perRow; }
    // The height of all rows with their spacing: the available height unless the grid scrolls.
    double contentHeight() const;
    double cellWidth() const;
    // The gap between two cells of a row.
    double gap() const;
    // The cell of slot `index` in the grid's content (origin: the top left of the available area,
    // or of the scrolled content).
    QRectF cellRect(int index) const;
};

}  // namespace quellor
