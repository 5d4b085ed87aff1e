#include "ui/style/SoftShadow.h"

#include <QPainter>

namespace quellor {

void paintSoftShadow(QPainter& painter, const QRectF& rect, double cornerRadius, const QColor& color, double blur,
                     double drop) {
    constexpr int kLayers = 4;
    painter.save();
    painter.setPen(Qt::NoPen);
    QColor layer = color;
    layer.setAlphaF(float(color.alphaF() / kLayers));
    painter.setBrush(layer);
    for (int i = kLayers; i >= 1; --i) {
        const double grow = blur * i / kLayers;
        painter.drawRoundedRect(rect.adjusted(-grow, -grow, grow, grow).translated(0, drop), cornerRadius + grow,
                                cornerRadius + grow);
    }
    painter.restore();
}

}  // namespace quellor
