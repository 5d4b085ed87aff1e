#pragma once
// The outlines the strip's parts share: the readout and the title block are the strip's rounded
// ends, each rounded on its outer side and square where it meets the middle of the strip.
//
// Threads: values only.

#include <QPainterPath>
#include <QRectF>

namespace quellor {

// A rectangle with its top corners (or its bottom corners) rounded and the others square.
QPainterPath halfRoundedRect(const QRectF& r, double radius, bool top);

}  // namespace quellor
