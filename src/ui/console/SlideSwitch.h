#pragma once
// The logic of the two-position switch of the cards around the console: an optional caption, the
// left option with its lamp, a hardware-style slide switch, and the right option with its lamp
// (PRE on the left and POST on the right, say). The switch is controlled: it shows the position it
// is given and reports the position asked for; it never moves by itself, so while its owner does
// not take a request (a change not allowed now) it stays where it is.
//
// A click on an option asks for that option, even the one already selected; a click on the switch
// asks for the other position. The lit lamp, whichever side it is on, takes the owner's lamp
// colour and glows; the unlit one is `hair`.
//
// Threads: values only.

#include <QColor>
#include <QRectF>
#include <QString>
#include <array>
#include <optional>

#include "ui/console/ConsoleMetrics.h"
#include "ui/style/ThemeMode.h"

namespace quellor {

// Its sizes are ConsoleMetrics::SlideSwitch.
struct SlideSwitchLook {
    struct Option {
        bool selected = false;
        QColor lamp;
        QColor glow;  // transparent when unlit
        QColor text;
    };
    Option left, right;
    QColor track;        // `lcd`
    QColor trackStroke;  // `hair`
    QColor knobTop;      // grey 0.93 to 0.66, top to bottom
    QColor knobBottom;
    QColor knobShadow;  // black at 50 %
    QColor grip;        // black at 35 %

    static SlideSwitchLook of(bool isRight, const QColor& lamp, ThemeMode theme);

    // The knob in the track's coordinates; `position` runs from 0 (left) to 1 (right) while it slides.
    static QRectF knobRect(double position);
    // The three grip lines centred on a knob.
    static std::array<QRectF, 3> gripLines(const QRectF& knob);
};

// The parts of the switch a click lands on, and the position each asks for.
enum class SlideSwitchPart { LeftOption, Switch, RightOption };
bool requestedPosition(SlideSwitchPart part, bool isRight);

// Where the parts stand in the row, from the widths of their texts: the caption (none when absent)
// and the two option texts. The row is as high as the switch; everything is centred on it.
struct SlideSwitchGeometry {
    std::optional<QRectF> caption;
    QRectF leftOption;  // lamp, 5, text
    QRectF track;
    QRectF rightOption;
    double width = 0;
    double height = 0;

    static SlideSwitchGeometry of(std::optional<double> captionWidth, double leftTextWidth, double rightTextWidth,
                                  double textHeight);
};

}  // namespace quellor
