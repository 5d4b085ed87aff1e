#pragma once
// The geometry of the panels family (the devices page, the sources list and grid, and the cards,
// rows and tiles they hold), in logical pixels: sizes, paddings, spacings and corner radii. The
// logic classes read it to place things; the widgets take the numbers of their layouts from it and
// paint. Type sizes stay with the texts they set.
//
// Threads: values only.

namespace quellor {

struct PanelMetrics {
    // The devices page and the sources page: their padding all round and the room between blocks.
    struct Page {
        static constexpr int kPadding = 14;
        static constexpr int kSpacing = 10;
        // Lists reach this far into the page's margin on each side, so that their highlighted rows
        // line up with the cards' contents; the other blocks are inset by as much again.
        static constexpr int kListOutset = 8;
        // A section heading ("BLUETOOTH", "SOURCES") starts where the rows' contents do.
        static constexpr int kHeadingInset = 8;
        // Between the Bluetooth section's heading and rows.
        static constexpr int kBluetoothSpacing = 2;
        // The rule above the update banner.
        static constexpr int kDividerThickness = 1;
    };

    // The devices page's two-button switch between the output and the input side.
    struct SideSwitch {
        static constexpr int kRadius = 8;
        static constexpr int kPadding = 2;
        static constexpr int kSpacing = 2;
        static constexpr int kSegmentHeight = 24;
        static constexpr int kSegmentRadius = 6;
        static constexpr int kSymbolSize = 12;
    };

    // A symbol in its frame (SymbolView): the frame is a little taller than the symbol.
    struct Symbol {
        static constexpr int kFrameExtraHeight = 2;
    };

    // A level slider with its note below; every level slider of the panels is as high.
    struct LevelRow {
        static constexpr int kSpacing = 5;
        static constexpr int kSliderHeight = 22;
    };

    // The strip of the default input's gain: the header ("Input", the badge, the device's name)
    // above the level row.
    struct InputStrip {
        static constexpr int kSpacing = 5;
        static constexpr int kHeaderSpacing = 6;
        // What the device's name keeps clear of the title and the badge.
        static constexpr int kDeviceNameGap = 12;
    };

    // The MAIN and PHONES cards, stacked.
    struct BusCard {
        static constexpr double kRadius = 10;
        static constexpr int kPadding = 8;
        static constexpr int kSpacing = 5;
        static constexpr int kStackSpacing = 6;  // between the MAIN and the PHONES card
        // A line of a device's symbol, its name and a trailing part.
        static constexpr int kLineSpacing = 8;
        static constexpr int kSymbolSize = 13;
        static constexpr int kSymbolFrame = 18;
        static constexpr int kCheckSize = 11;
        // The MAIN card's drop hint: a border over the card and a capsule around its text.
        static constexpr double kDropHintBorder = 1.5;
        static constexpr double kDropHintPaddingX = 10;
        static constexpr double kDropHintPaddingY = 5;
        // The PHONES card's placeholder: a dashed outline around its line, both padded.
        static constexpr int kPlaceholderOutset = 4;
        static constexpr int kPlaceholderPadding = 4;
        static constexpr int kPlaceholderSpacing = 8;
        static constexpr double kPlaceholderRadius = 6;
        static constexpr double kPlaceholderDash = 4;
        static constexpr int kPlaceholderTextHeight = 22;
        // The PHONES card's pair pull-downs: the two groups, and a title beside its button.
        static constexpr int kPickerSpacing = 10;
        static constexpr int kPickerGroupSpacing = 4;
    };

    // The MIDI badge beside a name: a chip around "CC 7" while mapped.
    struct MIDIBadge {
        static constexpr int kPaddingX = 4;
        static constexpr int kPaddingY = 1;
        static constexpr double kRadius = 4;
    };

    // The sources page: its heading over the waiting line, the empty state or the application rows.
    struct SourcesPage {
        static constexpr int kStackSpacing = 6;
        static constexpr int kRowSpacing = 8;
        static constexpr int kRowsPadding = 2;  // above the first row and below the last
        static constexpr int kStateMargin = 16;  // above and below the waiting line and the empty state
        static constexpr int kWaitingSpacing = 8;
        static constexpr int kProgressWidth = 48;
        static constexpr int kProgressHeight = 6;
        static constexpr int kEmptySymbolSize = 22;
        static constexpr int kEmptySymbolFrame = 28;
        // The list's frame: a row with a level slider, or one with a panel of n device sliders
        // (n outputs high plus the panel's frame).
        static constexpr double kLevelRowHeight = 53;
        static constexpr double kOutputHeight = 48;
        static constexpr double kOutputsFrame = 40;
    };

    // An application row of the sources page.
    struct AppRow {
        static constexpr int kSideInset = 6;
        static constexpr int kSpacing = 5;
        static constexpr int kHeaderSpacing = 6;
        static constexpr int kIconSize = 18;
        static constexpr int kDragPreviewSize = 28;
        static constexpr double kTargetRadius = 8;  // the fill while a dragged device is over the row
        // The panel of the devices the application plays to.
        static constexpr double kRoutesRadius = 10;
        static constexpr int kRoutesPadding = 8;
        static constexpr int kRoutesSpacing = 8;
        static constexpr int kOutputSpacing = 4;
        static constexpr int kArrowSize = 10;
        static constexpr int kArrowFrame = 12;
        static constexpr int kRemoveIconSize = 12;
    };

    // A device row of a device list, and the Bluetooth row, which is laid out alike.
    struct DeviceRow {
        static constexpr int kHeight = 28;
        static constexpr int kWidthHint = 240;
        static constexpr int kHorizontalPadding = 8;
        static constexpr int kSpacing = 8;
        static constexpr int kIconFrame = 18;
        static constexpr int kIconSize = 13;
        static constexpr int kSealSize = 10;
        static constexpr int kCheckSize = 11;
        static constexpr double kCornerRadius = 6;
        // The disconnect button: its symbol, inset in the button by as much on each side.
        static constexpr int kDisconnectSize = 12;
        static constexpr int kDisconnectInset = 2;
        // The seal's tool tip answers this far around the seal.
        static constexpr int kSealSlopX = 2;
        static constexpr int kSealSlopY = 4;
    };

    // The Bluetooth row: as a device row, but padded to its name's height.
    struct BluetoothRow {
        static constexpr int kVerticalPadding = 6;
        static constexpr double kSpinnerSize = 12;
        static constexpr double kSpinnerStroke = 1.5;
    };

    // A device list: its rows, one under the other.
    struct DeviceList {
        static constexpr double kRowHeight = DeviceRow::kHeight;
        static constexpr double kRowSpacing = 2;
        static constexpr double kRowPitch = kRowHeight + kRowSpacing;
        static constexpr int kWidthHint = 200;
    };

    // The source grid: a header over the APPS and I/O sections of tiles.
    struct SourceGrid {
        static constexpr int kHeaderHeight = 44;
        static constexpr int kHeaderRule = 1;  // the rule under the header
        static constexpr int kHeaderPadding = 14;
        static constexpr int kSidePadding = 14;
        static constexpr int kTopPadding = 12;
        static constexpr int kBottomPadding = 14;
        static constexpr int kSectionSpacing = 14;
        static constexpr int kTitleSpacing = 8;
        // Columns as many as fit at the minimum width, each up to the maximum; cells this far apart.
        static constexpr double kColumnMinimumWidth = 92;
        static constexpr double kColumnMaximumWidth = 120;
        static constexpr double kCellSpacing = 8;
    };

    // A tile of the source grid: its picture over its name, the strip's number in a badge.
    struct SourceTile {
        static constexpr int kPicture = 30;
        static constexpr int kSymbolInset = 5;
        static constexpr int kSpacing = 5;
        static constexpr int kVerticalPadding = 9;
        static constexpr int kHorizontalPadding = 4;
        static constexpr double kCornerRadius = 8;
        static constexpr int kBadgeInset = 4;
        static constexpr int kBadgeMinimum = 14;
        static constexpr int kBadgePadding = 4;
    };
};

}  // namespace quellor
