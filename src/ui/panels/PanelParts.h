#pragma once
// Small helpers the panel widgets share: text in a palette colour, rounded fills and the context
// menu that a panel opens.
//
// Threads: main thread only.

#include <QColor>
#include <QLabel>
#include <QWidget>

#include "ui/style/MenuModel.h"

class QPainter;

namespace quellor {

// One line of text in the system font (sizes in points).
QLabel* panelLabel(const QString& objectName, int pointSize, int weight, QWidget* parent);
void setTextColor(QWidget& widget, const QColor& color);

// A rounded rectangle of `radius` filled with `color`, the shape of every card and panel fill.
void fillRounded(QPainter& painter, const QRectF& rect, double radius, const QColor& color);

// Opens `model` as a context menu at `globalPos`; an empty model opens nothing.
void openPanelMenu(const MenuModel& model, QWidget* over, QPoint globalPos);

}  // namespace quellor
