#pragma once
// A setting card of the console's top bar: a small icon and a two-position switch in one outlined
// frame, the switch flipping one user default. The card follows that default and the theme as they
// change, wherever the change comes from. MeterCard and StripCountCard are the two there are.
//
// Threads: main thread only. The defaults and the theme controller must outlive the cards.

#include <QWidget>
#include <functional>

#include "ui/console/SlideSwitchWidget.h"
#include "ui/settings/SettingCardLook.h"

namespace quellor {

class ThemeController;
class UserDefaults;

class SettingCard : public QWidget {
    Q_OBJECT
public:
    using SwitchOptions = std::function<SlideSwitchWidget::Options(UserDefaults&, const Palette&)>;

    SettingCard(UserDefaults& defaults, ThemeController& themes, const QString& key, SwitchOptions options,
                std::vector<SettingCardLook::IconShape> icon, QWidget* parent = nullptr);
    SlideSwitchWidget* slideSwitch() const { return switch_; }

    // As high as the card, whatever its row of children asks for.
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent*) override;

private:
    void follow();

    UserDefaults& defaults_;
    ThemeController& themes_;
    SwitchOptions options_;
    std::vector<SettingCardLook::IconShape> icon_;
    SlideSwitchWidget* switch_;
};

}  // namespace quellor
