#pragma once
// The meter-source ("meter-source") and strip-count ("strip-count") cards of the console's top bar:
// a small icon and a two-position switch in one outlined frame. Each card follows its user default
// and the theme as they change, wherever the change comes from.
//
// Threads: main thread only. The defaults and the theme controller must outlive the cards.

#include <QWidget>
#include <functional>

#include "ui/settings/SettingCards.h"

namespace quellor {

class ThemeController;

class SettingCard : public QWidget {
    Q_OBJECT
public:
    using SwitchOptions = std::function<SlideSwitchWidget::Options(UserDefaults&, const Palette&)>;

    SettingCard(UserDefaults& defaults, ThemeController& themes, const QString& key, SwitchOptions options,
                std::vector<SettingCardLook::IconShape> icon, QWidget* parent = nullptr);
    SlideSwitchWidget* slideSwitch() const { return switch_; }

    // As high as the card, whatever its row of children asks for.
    QSize sizeHint() const override { return {QWidget::sizeHint().width(), int(SettingCardLook::kHeight)}; }

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

class MeterCard : public SettingCard {
    Q_OBJECT
public:
    MeterCard(UserDefaults& defaults, ThemeController& themes, QWidget* parent = nullptr);
};

class StripCountCard : public SettingCard {
    Q_OBJECT
public:
    StripCountCard(UserDefaults& defaults, ThemeController& themes, QWidget* parent = nullptr);
};

}  // namespace quellor
