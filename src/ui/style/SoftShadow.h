#pragma once
// A soft shadow under a rounded rectangle, drawn as a few widening, fading copies of the shape: it
// reads as a blur of `blur` points at a fraction of the cost of a real one. Used under raised parts
// (fader caps, switch knobs).
//
// Threads: the painting thread (the main thread).

#include <QColor>
#include <QRectF>

class QPainter;

namespace quellor {

// Paints the shadow of `rect` (corner radius `cornerRadius`) moved `drop` points down, spread over
// `blur` points, in `color` (its opacity is the shadow's at the centre). Leaves the painter as it
// was.
void paintSoftShadow(QPainter& painter, const QRectF& rect, double cornerRadius, const QColor& color, double blur,
                     double drop);

}  // namespace quellor
