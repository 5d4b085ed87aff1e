#pragma once
// Symbol names to icons. (Interim: the icon table is filled in with the embedded icon set.)
#include <QColor>
#include <QIcon>
#include <QRectF>
#include <QString>

class QPainter;

namespace quellor {

bool hasSymbol(const QString& name);
QIcon symbolIcon(const QString& name, const QColor& color, int pixelSize);
void paintSymbol(QPainter& painter, const QRectF& rect, const QString& name, const QColor& color);

}  // namespace quellor
