#include "ui/console/StripShapes.h"

namespace quellor {

QPainterPath halfRoundedRect(const QRectF& r, double radius, bool top) {
    QPainterPath path;
    if (top) {
        path.moveTo(r.bottomLeft());
        path.lineTo(r.left(), r.top() + radius);
        path.arcTo(QRectF(r.left(), r.top(), 2 * radius, 2 * radius), 180, -90);
        path.lineTo(r.right() - radius, r.top());
        path.arcTo(QRectF(r.right() - 2 * radius, r.top(), 2 * radius, 2 * radius), 90, -90);
        path.lineTo(r.bottomRight());
    } else {
        path.moveTo(r.topLeft());
        path.lineTo(r.topRight());
        path.lineTo(r.right(), r.bottom() - radius);
        path.arcTo(QRectF(r.right() - 2 * radius, r.bottom() - 2 * radius, 2 * radius, 2 * radius), 0, -90);
        path.lineTo(r.left() + radius, r.bottom());
        path.arcTo(QRectF(r.left(), r.bottom() - 2 * radius, 2 * radius, 2 * radius), 270, -90);
    }
    path.closeSubpath();
    return path;
}

}  // namespace quellor
