#pragma once
// A console strip's vertical fader as a widget: it paints the FaderGeometry and FaderLook of its
// value (panel, border, dB scale, groove, lit groove, cap with its shadow, grips and indicator),
// carries the strip's meter column along its right edge, and turns mouse input into FaderDrag
// changes: a press puts the cap's centre under the pointer, a move drags it (Alt held: fine), a
// double click reports the reset value, a release ends the drag.
//
// The fader never moves by itself: every value goes to onChange, and the cap moves when the owner
// hands the new value back through setState.
//
// For assistive technology the fader is one slider without children, with its strip's label and
// percent value and an adjustable action (increase, decrease).
//
// Threads: main thread only.

#include <QWidget>
#include <functional>
#include <optional>

#include "ui/console/ConsoleFader.h"

namespace quellor {

class MeterBarWidget;
class MeterRepaintClock;
class ThemeController;

class ConsoleFaderWidget : public QWidget {
    Q_OBJECT
public:
    struct State {
        float value = 0;
        bool isActive = false;
        bool isCued = false;
        std::optional<float> resetValue;
    };

    ConsoleFaderWidget(MeterRepaintClock& clock, ThemeController& themes, QWidget* parent = nullptr);

    void setState(const State& state);
    const State& state() const { return state_; }
    void setMeter(std::function<float()> level);
    void setOnChange(std::function<void(float)> onChange) { onChange_ = std::move(onChange); }

    // What assistive technology reads and does: the fader's label ("Player fader"), its value
    // ("50 percent") and one step of the adjustable action (true: up).
    void setAccessibility(const QString& label, const QString& value, std::function<void(bool)> adjust);
    QString accessibleValue() const { return accessibleValue_; }
    void adjust(bool increment) const;

    FaderGeometry geometry() const;
    const FaderDrag& drag() const { return drag_; }
    MeterBarWidget* meter() const { return meter_; }

protected:
    void paintEvent(QPaintEvent*) override;
    void resizeEvent(QResizeEvent*) override;
    void mousePressEvent(QMouseEvent*) override;
    void mouseMoveEvent(QMouseEvent*) override;
    void mouseReleaseEvent(QMouseEvent*) override;
    void mouseDoubleClickEvent(QMouseEvent*) override;

private:
    void dragTo(double y, Qt::KeyboardModifiers modifiers);
    void report(std::optional<float> value);

    ThemeController& themes_;
    State state_;
    FaderDrag drag_;
    double dragStartY_ = 0;
    std::function<void(float)> onChange_;
    QString accessibleValue_;
    std::function<void(bool)> adjust_;
    MeterBarWidget* meter_;
};

}  // namespace quellor
