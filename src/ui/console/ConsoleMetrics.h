#pragma once
// Every size, padding, corner radius, line width and font size of the console's windows, in
// points (one point is one logical pixel), in one table. The logic classes read it and hand the
// widgets finished geometry; a widget that still needs a number to paint with takes it from here,
// never from a literal of its own.
//
// The parts follow the console from the outside in: the grid of strips, the strip and its parts
// (readout, buttons, fader, meter, title block), then what stands over or around the strips (the
// main mute, the drop outline, the top bar, the two-position switch, the compact level slider).
//
// Threads: constants only.

namespace quellor {

struct ConsoleMetrics {
    // The grid of strip slots (ConsoleLayout).
    struct Grid {
        static constexpr double kPadding = 8;         // around the grid, on all four edges
        static constexpr double kMinimumWidth = 280;  // of the console with its padding
        static constexpr double kMinimumHeight = 200;
        static constexpr double kEightPerRowWidth = 584;  // eight strips a row from this width on
        static constexpr double kMinStripHeight = 220;    // below it the grid scrolls
        static constexpr double kMinGap = 8;              // between two cells of a row
        static constexpr double kRowSpacing = 4;
        static constexpr double kManyRowsSpacing = 6;  // with three rows or more
        static constexpr double kStripWidthLimit = 120;
        static constexpr double kStripWidthLimitInRows = 100;  // with two rows or more
        // The strips turn compact below this height, or when a row's width less the allowance,
        // shared out, leaves a strip less than the narrowest width.
        static constexpr double kCompactBelowHeight = 250;
        static constexpr double kCompactBelowStripWidth = 74;
        static constexpr double kCompactWidthAllowance = 16;
    };

    // The strip's stack and its rounded ends (StripLook, StripShapes, ConsoleStripWidget).
    struct Strip {
        static constexpr double kCornerRadius = 6;  // of the readout's top and the title block's foot
        static constexpr double kPadding = 4;       // around the stack
        static constexpr double kCompactPadding = 2;
        static constexpr double kReadoutHeight = 22;
        static constexpr double kCompactReadoutHeight = 20;
        static constexpr int kButtonAreaHeight = 24;
        static constexpr int kButtonAreaEdgeWidth = 1;  // the hair lines at its sides
        static constexpr double kTitleMinHeight = 26;
        static constexpr double kCompactTitleMinHeight = 22;
        static constexpr double kTitleBorderWidth = 1;
        static constexpr double kCuedTitleBorderWidth = 1.5;
    };

    // The LCD at the top of a strip (StripReadoutWidget).
    struct Readout {
        static constexpr int kPadding = 7;  // text and badge from the ends
        static constexpr int kSpacing = 3;  // text to badge
        static constexpr double kOutlineWidth = 1;
        static constexpr int kFontSize = 10;  // monospaced, semibold (regular on an inactive daylight strip)
    };

    // The CUE, SOLO and MUTE buttons (StripButtons, StripButtonRow).
    struct Button {
        static constexpr double kHeight = 18;
        static constexpr double kNarrowMaxWidth = 22;  // CUE at most
        static constexpr double kCornerRadius = 4;
        static constexpr double kBadgeRise = 12;  // the MIDI badge's top above the button's top
        static constexpr int kRowPadding = 3;     // from each end of the row
        static constexpr int kRowSpacing = 3;     // between buttons
        static constexpr double kSymbolSize = 11;  // about as tall as the letters of the text faces
        static constexpr int kFontSize = 10;       // bold, monospaced
    };

    // The strip's vertical fader (FaderGeometry, ConsoleFaderWidget).
    struct Fader {
        static constexpr int kMinimumHeight = 60;
        static constexpr double kBorderWidth = 1;
        static constexpr double kCuedBorderWidth = 1.5;
        static constexpr double kCapHeight = 30;
        static constexpr double kCapSideInset = 6;  // panel edge to cap, each side
        static constexpr double kCapRadius = 4;
        static constexpr double kCapShadowRadius = 4;
        static constexpr double kCapShadowDrop = 3;
        static constexpr double kCapOutlineWidth = 1;
        static constexpr double kGripInset = 10;  // cap edge to the grip lines, each side
        static constexpr double kGripHeight = 1;
        static constexpr double kGripTops[] = {-7.5, -4.0, 3.0, 6.5};  // from the cap's centre line
        static constexpr double kIndicatorInset = 6;  // cap edge to the indicator, each side
        static constexpr double kIndicatorHeight = 2;
        static constexpr double kGrooveTopInset = 10;  // panel top to groove top
        static constexpr double kGrooveBottomInset = 10;
        static constexpr double kGrooveWidth = 6;
        static constexpr double kGrooveRadius = 3;
        static constexpr double kGrooveStrokeWidth = 0.5;
        static constexpr double kLitGrooveWidth = 3;
        static constexpr double kTickLeft = 5;  // the scale's tick at the panel's left edge
        static constexpr double kTickWidth = 4;
        static constexpr double kSoftTickOffset = 7;  // right of the panel's centre
        static constexpr double kSoftTickWidth = 3;
        static constexpr double kTickHeight = 1;
        static constexpr double kScaleLabelLeft = 12;
        static constexpr int kScaleFontSize = 7;  // monospaced, medium
    };

    // The level meter along the fader's right edge (MeterBar, FaderGeometry::meterRect).
    struct Meter {
        static constexpr double kWidth = 5;  // of the column
        static constexpr double kBarWidth = 4;
        static constexpr double kMinHeight = 2;  // of the column and of a lit bar
        static constexpr double kPeakHeight = 1.5;
        static constexpr double kFirstGapTop = 3;  // the segment gaps, from the column's top
        static constexpr double kGapPitch = 4;
        static constexpr double kGapHeight = 1.2;
        static constexpr double kLampDiameter = 5;
        // The clip lamp stands over the column's top, moved up this far: its lower edge 2 points above.
        static constexpr double kLampRise = 7;
        static constexpr double kRightInset = 6;  // the fader's right edge to the column's
        // The column's top below the fader's top, and its foot above the fader's bottom.
        static constexpr double kEndInset = 12;
    };

    // The foot of a strip (StripTitleBlockWidget, StripGroupTagWidget).
    struct TitleBlock {
        static constexpr int kPadding = 7;  // from the block's sides
        static constexpr int kHeaderHeight = 14;
        static constexpr int kHeaderSpacing = 5;  // between bar, name and tags
        static constexpr int kLineSpacing = 1;    // header to route line
        static constexpr int kBarWidth = 3;
        static constexpr double kBarRadius = 1.5;
        static constexpr int kGroupTagSize = 11;
        static constexpr double kGroupTagRadius = 2;
        static constexpr int kGroupTagFontSize = 8;  // bold, monospaced
        static constexpr int kNameFontSize = 9;      // medium, monospaced
        static constexpr int kTagFontSize = 7;       // the kind tag (bold) and the route line (medium)
        // The drag's preview: the name on a card, the text 6 points in from each edge.
        static constexpr int kPreviewFontSize = 11;  // medium
        static constexpr int kPreviewPadding = 12;   // both sides together
        static constexpr double kPreviewRadius = 4;
    };

    // The tiny MIDI label (MIDIStatusBadge, MIDIBadgeLabel).
    struct MIDIBadge {
        static constexpr int kFontSize = 8;  // medium, bold while learning
    };

    // The "plus" over an empty slot's placeholder strip (EmptySlotLook).
    struct EmptySlot {
        static constexpr int kPointSize = 34;
        static constexpr double kLightScale = 0.85;  // of the thinner weights, which draw larger
        static constexpr double kShadowDrop = 1.5;
    };

    // The MAIN strip's mute, over the band the MAIN strip leaves free (MainMuteFace).
    struct MainMute {
        static constexpr double kHeight = 18;
        static constexpr double kSideInset = 3;
        static constexpr double kCornerRadius = 4;
        static constexpr double kBorderWidth = 1;
        static constexpr int kFontSize = 10;  // bold, monospaced
    };

    // The outline of the strip a drag is over (StripDropHighlight).
    struct DropOutline {
        static constexpr double kCornerRadius = 6;
        static constexpr double kLineWidth = 2;
        static constexpr double kInset = 2;  // from the cell's edges
    };

    // The console's top bar (ConsoleTopBar, ConsoleTopBarWidget).
    struct TopBar {
        static constexpr double kHeight = 44;    // without the hair line under it
        static constexpr double kLineWidth = 1;  // of that line and of the dividers
        static constexpr double kHorizontalPadding = 14;
        static constexpr double kTitleTrailing = 14;
        static constexpr double kTitleOverhang = 20;  // the title may draw this far past its item
        static constexpr double kDividerHeight = 18;
        static constexpr double kIconGlyphSize = 26;  // the frame of the more-menu and icon buttons
        static constexpr double kIconGroupSpacing = 4;
        static constexpr double kGlyphSymbolSize = 12;
        // The lock button: 22 high, padded 8 across (6 compact), corner radius 4.
        static constexpr double kLockHeight = 22;
        static constexpr double kLockPadding = 8;
        static constexpr double kLockCompactPadding = 6;
        static constexpr double kLockCornerRadius = 4;
        static constexpr double kLockSymbolSize = 11;
        static constexpr double kSymbolTextSpacing = 5;
        // The bar's texts: bold, monospaced, tracked.
        static constexpr int kFontSize = 10;
        static constexpr double kTitleTracking = 1.2;
        static constexpr double kLockTracking = 0.8;

        // The room around the items of the rows that carry the meter card: A's, and B's tighter
        // one, which C shares.
        struct Room {
            double divider;              // each side of a divider
            double recCardLeading;
            double mainRecordingLeading;
            double flexibleMin;          // the flexible space's least length
            double lockTrailing;
            double clearSoloLeading;
        };
        static constexpr Room kWideRoom{14, 10, 6, 16, 10, 10};
        static constexpr Room kTightRoom{8, 6, 4, 8, 6, 6};
        static constexpr double kNarrowRowSpacing = 8;  // between the items of row D
        static constexpr double kNarrowRowFlexibleMin = 4;
    };

    // The two-position switch of the cards around the console (SlideSwitchLook, SlideSwitchGeometry).
    struct SlideSwitch {
        static constexpr double kSpacing = 8;        // between caption, options and switch
        static constexpr double kOptionSpacing = 5;  // lamp to text
        static constexpr double kLampSize = 5;
        static constexpr double kLampGlowRadius = 3;  // also the widget's room around the row for it
        static constexpr double kWidthSlack = 1;      // one point of width beyond that room
        static constexpr double kTrackWidth = 50;
        static constexpr double kTrackHeight = 20;
        static constexpr double kTrackRadius = 4;
        static constexpr double kTrackStrokeWidth = 1;
        static constexpr double kKnobWidth = 22;
        static constexpr double kKnobHeight = 14;
        static constexpr double kKnobRadius = 3;
        static constexpr double kKnobPadding = 2;  // from the track's end; 3 from its top and bottom
        static constexpr double kKnobShadowBlur = 1.5;
        static constexpr double kKnobShadowDrop = 1;
        static constexpr double kKnobTravel = kTrackWidth - kKnobWidth - 2 * kKnobPadding;  // 24
        static constexpr double kGripWidth = 1;
        static constexpr double kGripHeight = 9;
        static constexpr double kGripSpacing = 2;
        static constexpr int kCaptionFontSize = 9;  // semibold, monospaced
        static constexpr double kCaptionTracking = 1;
        static constexpr int kOptionFontSize = 10;  // bold, monospaced
        static constexpr double kOptionTracking = 0.8;
    };

    // The compact horizontal level control of the device panels (ControlSlider).
    struct ControlSlider {
        static constexpr int kHeight = 22;  // also the knob's diameter and the icon's square
        static constexpr int kPreferredWidth = 160;
        static constexpr int kIconPointSize = 11;  // semibold
        static constexpr double kBorderWidth = 0.5;
        static constexpr double kKnobShadowBlur = 2;
        static constexpr double kDraggingKnobShadowBlur = 4;
        static constexpr double kKnobShadowDrop = 1;
    };
};

}  // namespace quellor
