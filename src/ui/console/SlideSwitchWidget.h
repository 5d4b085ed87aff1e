#pragma once
// The two-position switch as a widget: it paints SlideSwitchLook at the places SlideSwitchGeometry
// gives and turns clicks on its three parts (left option, switch, right option) into requests to
// its owner. It shows the position its owner hands it with setRight(), sliding the knob there.
//
// The switch part carries the owner's label (accessible name), identifier (object name) and help
// (tool tip); each option is named by its own text. Disabling the widget disables all three parts;
// it draws no disabled look of its own.
//
// Threads: main thread only.

#include <QAbstractButton>
#include <QVariantAnimation>
#include <QWidget>
#include <functional>
#include <optional>

#include "ui/console/SlideSwitch.h"

namespace quellor {

class ThemeController;

class SlideSwitchWidget : public QWidget {
    Q_OBJECT
public:
    // Room around the row for the lamps' glow, which a widget cannot paint beyond its edges.
    static constexpr double kGlowRoom = ConsoleMetrics::SlideSwitch::kLampGlowRadius;

    struct Options {
        QString left;
        QString right;
        bool isRight = false;
        QColor rightLamp;
        QString label;
        QString identifier;
        QString help;
        std::optional<QString> caption;
        QColor captionColor;
        std::function<void(bool)> set;  // the position asked for
    };

    SlideSwitchWidget(ThemeController& themes, Options options, QWidget* parent = nullptr);

    bool isRight() const { return options_.isRight; }
    void setRight(bool isRight);
    // Takes new options from an owner whose texts follow the state (the label, the help); the two
    // option texts and the caption keep the switch's size and are not changed.
    void setOptions(Options options);

    QAbstractButton* leftOption() const { return left_; }
    QAbstractButton* switchPart() const { return switch_; }
    QAbstractButton* rightOption() const { return right_; }
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent*) override;

private:
    class Part;
    SlideSwitchGeometry geometry() const;
    SlideSwitchLook look() const;
    void paintOption(QPainter& painter, const QRectF& rect, const QString& text, const SlideSwitchLook::Option& option);
    void paintSwitch(QPainter& painter, const QRectF& track);
    void request(SlideSwitchPart part);

    ThemeController& themes_;
    Options options_;
    QAbstractButton* left_;
    QAbstractButton* switch_;
    QAbstractButton* right_;
    double knobPosition_;  // 0 left … 1 right, while the knob slides
    QVariantAnimation slide_;
};

}  // namespace quellor
