#pragma once
// The logic of the compact horizontal level control of the device panels: a capsule track, a white
// fill growing from the leading end, a round knob at the end of the fill, and a small icon at the
// leading end that is a second control of its own. It edits one level 0...1 that its owner keeps:
// it writes new levels through the owner's setter and shows what the owner hands back.
//
// Geometry, with W the width and H the height (also the knob's diameter and the icon's square):
// the fill is H + level × (W − H) wide, the knob's centre H/2 + level × (W − H) from the leading edge.
//
// Gesture. A press already counts as a change, so a click on the track jumps the level; every change
// puts the knob's centre under the pointer: level (x − H/2) / max(W − H, 1), limited to 0...1 (a
// position that is not a number gives 0). One exception: while the icon has an action, a press that
// opens on the icon's square is left to the icon. If the pointer then moves, the press becomes a
// slider drag from that movement on; if it is released where it started on the icon's round face,
// the icon's action runs and the level stays.
//
// Threads: values only; main thread for the gesture state.

#include <QColor>
#include <QPointF>
#include <QRectF>
#include <optional>

#include "ui/console/ConsoleMetrics.h"
#include "ui/style/ThemeMode.h"

namespace quellor {

struct ControlSliderGeometry {
    double width = 0;
    double height = ConsoleMetrics::ControlSlider::kHeight;

    // At least 1, so a control hardly wider than high still reaches both ends.
    double travel() const;
    QRectF fillRect(float level) const;
    QPointF knobCentre(float level) const;
    QRectF knobRect(float level) const;
    QRectF iconSquare() const { return {0, 0, height, height}; }
    // The icon's face takes clicks within the circle inscribed in its square.
    bool onIconFace(QPointF point) const;
    // The level a pointer at `x` asks for.
    float levelAt(double x) const;
};

class ControlSliderGesture {
public:
    // A press at `point`; the level to write, if any.
    std::optional<float> pressed(const ControlSliderGeometry& geometry, QPointF point, bool hasIconAction);
    // The pointer moved while pressed.
    std::optional<float> moved(const ControlSliderGeometry& geometry, QPointF point);
    // The press ends: true when it was a tap of the icon, whose action is then to run.
    bool released(const ControlSliderGeometry& geometry, QPointF point);

    bool isDragging() const { return isDragging_; }

private:
    std::optional<float> change(const ControlSliderGeometry& geometry, QPointF point);

    std::optional<QPointF> pressAt_;
    bool hasIconAction_ = false;
    bool isDragging_ = false;
};

// Colours of the system appearance (light or dark), not of the console's themes.
struct ControlSliderLook {
    static constexpr double kGlideSeconds = 0.12;      // a level changed from elsewhere
    static constexpr double kDragStartSeconds = 0.08;  // the jump to the pressed point

    QColor track;
    QColor border;  // the primary foreground at 6 %, inside the edge
    QColor fill;    // white
    QColor knob;    // white
    QColor knobShadow;  // black at 25 %
    double knobShadowBlur = ConsoleMetrics::ControlSlider::kKnobShadowBlur;  // more while dragging
    QColor icon;                // black at 60 %, 25 % when dimmed

    static ControlSliderLook of(ColorScheme scheme, bool isDragging, bool iconDimmed);
};

}  // namespace quellor
