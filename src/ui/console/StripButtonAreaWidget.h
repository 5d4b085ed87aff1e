#pragma once
// The ground under a console strip's buttons: the panel between the strip's two side walls.
//
// Threads: main thread only.

#include <QWidget>

namespace quellor {

class ThemeController;

class StripButtonAreaWidget : public QWidget {
    Q_OBJECT
public:
    StripButtonAreaWidget(ThemeController& themes, QWidget* parent);

protected:
    void paintEvent(QPaintEvent*) override;

private:
    ThemeController& themes_;
};

}  // namespace quellor
