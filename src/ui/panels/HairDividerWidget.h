#pragma once
// A one-point rule in the theme's hair colour.
//
// Threads: main thread only.

#include <QWidget>

namespace quellor {

class ThemeController;

class HairDividerWidget : public QWidget {
    Q_OBJECT
public:
    HairDividerWidget(ThemeController& themes, QWidget* parent);

protected:
    void paintEvent(QPaintEvent*) override;

private:
    ThemeController& themes_;
};

}  // namespace quellor
