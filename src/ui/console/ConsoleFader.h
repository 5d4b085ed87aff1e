#pragma once
// The logic of a console strip's vertical fader: its geometry, the drag state machine that turns
// pointer positions into fader values, and the colours its painter uses. The fader never changes
// its own value: every new value goes to the owner (the strip model's setter), and the fader shows
// it once its owner hands the new value back.
//
// Fader law: a value 0...1 linear in travel. The cap (capHeight high) rests on the bottom edge at 0
// and touches the top edge at 1; the travel is the fader's height less the cap's.
//
// Drags. A coarse drag puts the cap's centre under the pointer. Holding the fine modifier (Alt, the
// key where other keyboards have Option) moves the value by 0.1 per whole travel, anchored at the value
// and the drag's start position of the first fine change; a coarse change drops the anchor, so
// pressing Alt in the middle of a drag anchors anew. A travel of zero or less, or a computation
// that is not a number, reports 1; every other value is limited to 0...1. A double click reports
// the reset value. An inactive fader ignores all input.
//
// Threads: values only; main thread for the drag state.

#include <QColor>
#include <QRectF>
#include <QString>
#include <optional>
#include <vector>

#include "ui/console/ConsoleMetrics.h"
#include "ui/style/ThemeMode.h"

namespace quellor {

struct FaderGeometry {
    double width = 0;
    double height = 0;
    double capHeight = ConsoleMetrics::Fader::kCapHeight;
    double topInset = ConsoleMetrics::Fader::kGrooveTopInset;  // panel top to groove top

    struct ScaleMark {
        QString label;
        double y = 0;          // of the mark's centre line
        QRectF tick;           // in `hair`, at the left edge
        QRectF softTick;       // in `hairSoft`, right of the groove
        QPointF labelAnchor;   // the centre of the label's leading edge
    };

    double travel() const { return height - capHeight; }
    // The cap's lower edge above the panel's lower edge.
    double capOffset(float value) const { return value * travel(); }
    QRectF capRect(float value) const;
    double capCentreY(float value) const { return height - capHeight / 2 - capOffset(value); }
    QRectF grooveRect() const;
    // From the cap's centre down to the lowest position of the centre.
    QRectF litGrooveRect(float value) const;
    // The four grip lines across the cap and the indicator line at its middle.
    std::vector<QRectF> gripLines(float value) const;
    QRectF indicatorRect(float value) const;
    // The dB marks that fit the panel (a label in dB below full level, at the fader value that
    // reads so). A panel without travel spaces them as if it had one point of it.
    std::vector<ScaleMark> scaleMarks() const;
    // The height the meter along the fader's right edge gets: the fader's, less the meter's insets
    // at both ends.
    double meterTravel() const { return height - 2 * ConsoleMetrics::Meter::kEndInset; }
    // The meter's rectangle in the fader: its column (meterTravel high, at least the column's least
    // height) right-aligned kRightInset in from the fader's right edge with its foot kEndInset above
    // the fader's bottom, and the clip lamp's room above the column.
    QRectF meterRect() const;
};

// The fader's scale: label and fader value, 10^(−dB/60) to three decimals.
struct FaderScaleEntry {
    const char* label;
    float value;
};
inline constexpr FaderScaleEntry kFaderScale[] = {{"0", 1.0f},     {"6", 0.794f},  {"12", 0.631f}, {"20", 0.464f},
                                                  {"30", 0.316f},  {"40", 0.215f}, {"∞", 0.0f}};

class FaderDrag {
public:
    // Alt: the keyboard modifier of fine moves.
    static constexpr Qt::KeyboardModifier kFineModifier = Qt::AltModifier;

    struct FineStart {
        float value;
        double y;
        bool operator==(const FineStart&) const = default;
    };

    // One change of a drag with the pointer at `y` (fader coordinates), the drag having started at
    // `y0`, and the keyboard modifiers held now. The value to report; nothing on an inactive fader.
    std::optional<float> changed(const FaderGeometry& geometry, float value, bool isActive, double y, double y0,
                                 Qt::KeyboardModifiers modifiers);
    void ended();
    // The value a double click reports: the reset value of an active fader.
    static std::optional<float> doubleClicked(bool isActive, const std::optional<float>& resetValue);

    bool isDragging() const { return isDragging_; }
    const std::optional<FineStart>& fineStart() const { return fineStart_; }

private:
    bool isDragging_ = false;
    std::optional<FineStart> fineStart_;
};

// The colours of one fader drawing.
struct FaderLook {
    QColor panelTop;     // the panel's gradient, top to bottom
    QColor panelBottom;
    double borderWidth = 1;
    QColor border;
    QColor tick, softTick, scaleLabel;
    QColor grooveFill, grooveStroke;
    QColor litTop, litBottom;
    QColor capTop, capBottom, capOutline, capShadow;
    QColor grip;
    QColor indicator;
    QColor capLabel;

    static FaderLook of(ThemeMode theme, bool isActive, bool isCued, bool isDragging);
};

}  // namespace quellor
