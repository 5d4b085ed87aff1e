#include "ui/style/AppIcon.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include "ui/style/ThemeMode.h"

namespace quellor {

void paintAppIcon(QPainter& painter, const QRectF& rect) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const double side = std::min(rect.width(), rect.height());
    const QRectF square(rect.center().x() - side / 2, rect.center().y() - side / 2, side, side);
    QPainterPath body;
    body.addRoundedRect(square, side * 0.225, side * 0.225);
    QLinearGradient fill(square.topLeft(), square.bottomLeft());
    fill.setColorAt(0, colorFromHex(0x2A2D33));
    fill.setColorAt(1, colorFromHex(0x141518));
    painter.fillPath(body, fill);
    painter.setPen(QPen(QColor(255, 255, 255, 28), std::max(1.0, side / 42)));
    painter.drawPath(body);

    // Three fader slots on a 42-unit grid, the caps at different heights.
    const double u = side / 42.0;
    const double slotTop = square.top() + 9 * u;
    const double slotBottom = square.bottom() - 9 * u;
    const double xs[] = {13, 21, 29};
    const double caps[] = {0.62, 0.3, 0.5};  // fraction of the travel from the top
    for (int i = 0; i < 3; ++i) {
        const double x = square.left() + xs[i] * u;
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(255, 255, 255, 46));
        painter.drawRoundedRect(QRectF(x - 1 * u, slotTop, 2 * u, slotBottom - slotTop), u, u);
        const double capY = slotTop + caps[i] * (slotBottom - slotTop);
        painter.setBrush(i == 1 ? brandOnDark() : QColor(0xE8, 0xE8, 0xEA));
        painter.drawRoundedRect(QRectF(x - 3.5 * u, capY - 2 * u, 7 * u, 4 * u), 1.2 * u, 1.2 * u);
    }
    painter.restore();
}

QIcon appIcon() {
    QIcon icon;
    for (int size : {16, 32, 48, 64, 128, 256}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        paintAppIcon(painter, QRectF(0, 0, size, size));
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

}  // namespace quellor
