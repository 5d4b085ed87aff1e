#include "ui/panels/PanelParts.h"

#include <QMenu>
#include <QPainter>
#include <QPainterPath>

#include "ui/style/Fonts.h"

namespace quellor {

QLabel* panelLabel(const QString& objectName, int pointSize, int weight, QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setObjectName(objectName);
    label->setFont(systemFont(pointSize, QFont::Weight(weight)));
    label->setTextFormat(Qt::PlainText);
    return label;
}

void setTextColor(QWidget& widget, const QColor& color) {
    QPalette palette = widget.palette();
    palette.setColor(QPalette::WindowText, color);
    palette.setColor(QPalette::ButtonText, color);
    widget.setPalette(palette);
}

void fillRounded(QPainter& painter, const QRectF& rect, double radius, const QColor& color) {
    QPainterPath path;
    path.addRoundedRect(rect, radius, radius);
    painter.fillPath(path, color);
}

void openPanelMenu(const MenuModel& model, QWidget* over, QPoint globalPos) {
    if (!model.empty()) execMenu(model, over, globalPos);
}

}  // namespace quellor
