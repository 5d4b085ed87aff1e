#pragma once
// A plain panel of the main window (the sources column, its hair line).
//
// Threads: main thread only.
#include <QColor>
#include <QWidget>

#include "ui/style/ThemeController.h"

namespace quellor {

// A rectangle filled with one palette colour of the theme in force.
class PalettePanel : public QWidget {
    Q_OBJECT
public:
    PalettePanel(ThemeController& themes, QColor Palette::*role, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent*) override;

private:
    ThemeController& themes_;
    QColor Palette::*role_;
};

}  // namespace quellor
