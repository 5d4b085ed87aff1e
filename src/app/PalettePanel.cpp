#include "app/PalettePanel.h"

#include <QPainter>

namespace quellor {

PalettePanel::PalettePanel(ThemeController& themes, QColor Palette::*role, QWidget* parent)
    : QWidget(parent), themes_(themes), role_(role) {}

void PalettePanel::paintEvent(QPaintEvent*) {
    QPainter(this).fillRect(rect(), themes_.palette().*role_);
}

}  // namespace quellor
