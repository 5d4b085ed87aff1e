#include "ui/panels/HoverRowWidget.h"

#include <QEnterEvent>

#include "ui/console/ConsoleColors.h"

namespace quellor {

QColor HoverRowWidget::highlightFill(ThemeMode mode, double opacity) {
    return withOpacity(quaternaryFill(colorScheme(mode)), opacity);
}

QRectF HoverRowWidget::symbolSquare(double x, double frameWidth, double pointSize, double rowHeight) {
    return {x + (frameWidth - pointSize) / 2, (rowHeight - pointSize) / 2, pointSize, pointSize};
}

void HoverRowWidget::enterEvent(QEnterEvent*) {
    hovering_ = true;
    update();
}

void HoverRowWidget::leaveEvent(QEvent*) {
    hovering_ = false;
    update();
}

void HoverRowWidget::hideEvent(QHideEvent*) { hovering_ = false; }

}  // namespace quellor
