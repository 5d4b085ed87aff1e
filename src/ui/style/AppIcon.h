#pragma once
// The application's icon, drawn in code: a dark rounded square with three fader slots whose caps
// stand at different heights, the middle one in the brand accent. It looks the same in every theme.
//
// For the main thread, after the QGuiApplication exists.
#include <QIcon>
#include <QRectF>

class QPainter;

namespace quellor {

void paintAppIcon(QPainter& painter, const QRectF& rect);
// The icon at the usual sizes, for windows.
QIcon appIcon();

}  // namespace quellor
