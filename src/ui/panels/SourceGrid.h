#pragma once
// Where the source grid puts things, as logic: the header and its rule on top; below them, in the
// scrolled content, the APPS title over the application tiles (or over the empty text while there
// are none), then the I/O title over the fixed sources' tiles. Tiles fill the columns that fit the
// content's width (SourceGridColumns); the sizes are PanelMetrics::SourceGrid's.
//
// Threads: values only.

#include <QRect>
#include <optional>
#include <vector>

namespace quellor {

struct SourceGrid {
    // What the fonts and the tiles make of the heights.
    struct Heights {
        int title = 0;
        int emptyText = 0;
        int tile = 0;
    };
    struct Section {
        QRect title;
        std::optional<QRect> emptyText;
        std::vector<QRect> tiles;
    };
    // In the scrolled content's coordinates.
    struct Placement {
        Section apps;
        Section io;
        int height = 0;  // of the whole content
    };

    // The content of a viewport `viewportWidth` wide with `apps` application tiles and `io` tiles
    // of fixed sources.
    static Placement place(int viewportWidth, int apps, int io, const Heights& heights);
    // The title's line in the header of a grid `width` wide.
    static QRect headerTitle(int width);
    // The rule under the header.
    static QRect headerRule(int width);
    // Where the scrolled content starts: under the header and its rule.
    static int contentTop();
};

}  // namespace quellor
