#pragma once
// The logic of the 52 x 22 recording card for a status bar (MenuBarCardView paints it): where it
// sits, the bars of its waveform, its colours, and when a press becomes a drag of the ready file.
//
// Values only: any thread.
#include <QColor>
#include <QPointF>
#include <QRectF>
#include <optional>
#include <vector>

#include "app/ShellMetrics.h"

namespace quellor {

// The card's geometry in its own 52 x 22 space, origin at the top left (the card is drawn from a
// bottom-left layout, flipped here once).
namespace card {
// Where the card sits in a larger view: centred on whole pixels, halves rounded away from zero.
QPointF offset(QSizeF bounds);
// One bar per envelope value (values clamped to 0...1; at least 1.6 high).
std::vector<QRectF> bars(const std::vector<double>& envelope);

struct Colours {
    QColor ink, alertRed, amber, dotRed;
};
Colours colours(bool dark);

// A press that may become a file drag: it starts once the pointer has moved more than 3 pixels,
// never while recording or with no ready file, and only once per press.
class Press {
public:
    void down(QPointF at) { downPoint_ = at; }
    // True when this move starts the drag.
    bool moved(QPointF to, bool isRecording, bool hasReadyFile);
    void up() { downPoint_.reset(); }
    bool pending() const { return downPoint_.has_value(); }

private:
    std::optional<QPointF> downPoint_;
};
}  // namespace card

}  // namespace quellor
