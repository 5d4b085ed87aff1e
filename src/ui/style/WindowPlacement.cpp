#include "ui/style/WindowPlacement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace quellor {

void centreOnPrimaryScreen(QWidget& window) {
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return;
    QRect frame(QPoint(0, 0), window.size());
    frame.moveCenter(screen->availableGeometry().center());
    window.move(frame.topLeft());
}

void showInFront(QWidget& window) {
    window.show();
    window.raise();
    window.activateWindow();
}

}  // namespace quellor
