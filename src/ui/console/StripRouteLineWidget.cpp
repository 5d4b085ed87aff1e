#include "ui/console/StripRouteLineWidget.h"

#include <QMouseEvent>

#include "ui/console/StripTitleBlock.h"

namespace quellor {

StripRouteLineWidget::StripRouteLineWidget(QWidget* parent)
    : StripTextWidget(QStringLiteral("strip-route-menu"), parent) {
    setToolTip(StripTitleBlock::kRouteHelp);
    setCursor(Qt::PointingHandCursor);
}

void StripRouteLineWidget::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !menu) return StripTextWidget::mousePressEvent(event);
    execMenu(menu(), this, mapToGlobal(QPoint(0, height())));
}

}  // namespace quellor
