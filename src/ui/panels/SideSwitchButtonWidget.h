#pragma once
// One half of the devices page's side switch: a symbol, on a rounded fill while its side is chosen.
// The buttons of one switch are exclusive.
//
// Threads: main thread only.

#include <QAbstractButton>
#include <QString>

namespace quellor {

class ThemeController;

class SideSwitchButtonWidget : public QAbstractButton {
    Q_OBJECT
public:
    SideSwitchButtonWidget(ThemeController& themes, QString symbol, QWidget* parent);

protected:
    void paintEvent(QPaintEvent*) override;

private:
    ThemeController& themes_;
    QString symbol_;
};

}  // namespace quellor
