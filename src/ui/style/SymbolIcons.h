#pragma once
// Symbols of the views: the views name symbols as the original design does ("speaker.wave.2.fill",
// "mic.slash.fill", "checkmark"), and one table maps each name to a Tabler icon embedded as a
// resource. The icons are single-colour SVGs; they are painted in the colour the caller passes (a
// palette colour, its alpha included), never in the colour of the file.
//
// The lookups and paintSymbol may be called from any thread that owns the painter (it renders into a
// QImage; the record of names already reported is locked); symbolIcon makes pixmaps and so belongs to
// the main thread. All need the QGuiApplication to exist.
#include <QColor>
#include <QIcon>
#include <QRectF>
#include <QString>
#include <QStringList>

class QPainter;

namespace quellor {

bool hasSymbol(const QString& name);

// Where a known symbol's icon comes from: a Tabler resource such as ":/symbols/outline/volume.svg",
// or ":/drawn/NAME" for one drawn by this program; empty for any other name.
QString symbolResourcePath(const QString& name);

// Every name of the table, in table order.
QStringList symbolNames();

// Paints the symbol in the largest square that fits in rect, centred, in color. An unknown name
// paints nothing and is logged once.
void paintSymbol(QPainter& painter, const QRectF& rect, const QString& name, const QColor& color);

// The symbol as an icon of pixelSize logical pixels (with a pixmap for double-density screens), for
// menus and buttons. A null icon for an unknown name, logged once.
QIcon symbolIcon(const QString& name, const QColor& color, int pixelSize);

}  // namespace quellor
