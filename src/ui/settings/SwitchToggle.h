#pragma once
// The switch-style toggle of the settings pages, painted in the theme's colours: a track with a
// knob, brand-coloured while on, then its title.
//
// Threads: main thread only.
#include <QCheckBox>

namespace quellor {

class ThemeController;

class SwitchToggle : public QCheckBox {
    Q_OBJECT
public:
    SwitchToggle(ThemeController& themes, const QString& title, QWidget* parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent*) override;
    bool hitButton(const QPoint& pos) const override;

private:
    ThemeController& themes_;
};

}  // namespace quellor
