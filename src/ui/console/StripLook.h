#pragma once
// How a console strip looks in its state and theme: what the strip widget needs beyond the texts
// (StripReadout) and the parts that have their own logic (buttons, title block, fader, meter).
//
// An inactive strip fades (less under daylight, whose light surfaces would wash it out) and its
// readout turns muted; a muted strip's readout is struck through; a cued strip's title block is
// edged in the cue colour. The MAIN strip has no buttons of its own: the area where they would be
// is the anchor over which the console pane lays the main mute button.
//
// Threads: values only; any thread.

#include <QColor>

#include "ui/console/ConsoleMetrics.h"
#include "ui/style/ThemeMode.h"

namespace quellor {

struct StripModel;

struct StripLook {
    enum class ButtonArea {
        Buttons,         // the row of CUE, SOLO and MUTE buttons the model offers
        MainMuteAnchor,  // empty, and where the pane draws the main mute button
        Empty,           // empty (an empty slot, a strip that offers no button)
    };

    double opacity = 1;  // of the whole strip
    double padding = ConsoleMetrics::Strip::kPadding;  // around the strip's stack
    // Readout (the LCD at the top).
    double readoutHeight = ConsoleMetrics::Strip::kReadoutHeight;
    bool readoutSemibold = true;
    QColor readoutColor;
    bool readoutStruck = false;  // struck through, in strikeColor
    QColor strikeColor;
    double lcdOpacity = 1;
    // The area under the readout, ConsoleMetrics::Strip::kButtonAreaHeight high.
    ButtonArea buttonArea = ButtonArea::Empty;
    // Title block (the foot of the strip).
    double titleMinHeight = ConsoleMetrics::Strip::kTitleMinHeight;
    double titleBorderWidth = ConsoleMetrics::Strip::kTitleBorderWidth;
    QColor titleBorderColor;
};

StripLook stripLook(const StripModel& model, ThemeMode theme, bool compact);

inline const QString kTitleBlockHelp = QStringLiteral("Drag onto another strip to swap places");

}  // namespace quellor
