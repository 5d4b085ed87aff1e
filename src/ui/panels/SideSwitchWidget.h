#pragma once
// The frame of the devices page's side switch: a rounded fill that holds the two side buttons.
//
// Threads: main thread only.

#include <QWidget>

namespace quellor {

class ThemeController;

class SideSwitchWidget : public QWidget {
    Q_OBJECT
public:
    SideSwitchWidget(ThemeController& themes, QWidget* parent);

protected:
    void paintEvent(QPaintEvent*) override;

private:
    ThemeController& themes_;
};

}  // namespace quellor
