#pragma once
// The meter column along the right edge of a console fader, as a widget of its own: it reads its
// level closure on each tick of the shared MeterRepaintClock, folds the reading into its MeterBar and
// repaints only its own rectangle, and only when what it shows has changed (a silent or inactive
// meter costs no painting). It listens to the clock only while it is shown: a meter in a hidden or
// closed window costs no tick, and the clock stops once no meter is shown. It paints the MeterColumn
// the logic returns: bar, segment gaps, peak line and clip lamp.
//
// The widget is the column and the clip lamp above it; its owner places it where its geometry
// says (FaderGeometry::meterRect) and hands it the column's travel.
//
// Threads: main thread only.

#include <QWidget>
#include <functional>

#include "ui/console/MeterBar.h"
#include "ui/console/MeterRepaintClock.h"

namespace quellor {

class ThemeController;

class MeterBarWidget : public QWidget {
    Q_OBJECT
public:
    MeterBarWidget(MeterRepaintClock& clock, ThemeController& themes, QWidget* parent = nullptr);

    // What the next tick reads; kept until changed (a strip rebuilt with new values keeps its hold).
    void setLevel(std::function<float()> level) { level_ = std::move(level); }
    void setFlags(bool isActive, bool isCued);
    // The height available for the column (FaderGeometry::meterTravel).
    void setTravel(double travel);

    const MeterColumn& column() const { return column_; }
    // One tick at `now` (the clock calls it; public so tests can tick a meter directly).
    void tick(double now);

protected:
    void paintEvent(QPaintEvent*) override;
    void showEvent(QShowEvent*) override;
    void hideEvent(QHideEvent*) override;

private:
    MeterRepaintClock& clock_;
    ThemeController& themes_;
    MeterBar bar_;
    MeterColumn column_;
    std::function<float()> level_;
    bool isActive_ = false;
    bool isCued_ = false;
    double travel_ = 2;
    MeterRepaintClock::Subscription subscription_;
};

}  // namespace quellor
