#include "ui/style/SymbolIcons.h"

namespace quellor {

bool hasSymbol(const QString&) { return false; }
QIcon symbolIcon(const QString&, const QColor&, int) { return {}; }
void paintSymbol(QPainter&, const QRectF&, const QString&, const QColor&) {}

}  // namespace quellor
