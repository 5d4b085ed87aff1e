#pragma once
// The drag handle between two panes: a 1-pixel bar with a 9-pixel grip (4 pixels beyond each side of
// its slot) that the parent places above its neighbours. Dragging changes the bound size within its
// range; the pointer's travel is measured in global coordinates from where the drag began.
//
// Threads: main thread only.
#include <QWidget>
#include <functional>

#include "app/SplitDrag.h"

namespace quellor {

class SplitHandle : public QWidget {
    Q_OBJECT
public:
    enum class Axis { Vertical, Horizontal };  // a vertical bar moves left/right

    struct Binding {
        std::function<double()> get;
        std::function<void(double)> set;
    };

    SplitHandle(Axis axis, Binding size, double lower, double upper, bool growsAway, bool visible, QWidget* parent = nullptr);

    void setBarColor(const QColor& color);
    // Where the grip goes for a 1-pixel slot at `slot` (x for a vertical bar, y for a horizontal one).
    QRect gripGeometry(int slot, int length) const;

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent*) override;
    void mouseMoveEvent(QMouseEvent*) override;
    void mouseReleaseEvent(QMouseEvent*) override;

private:
    double along(const QPointF& global) const;

    Axis axis_;
    Binding size_;
    SplitDrag drag_;
    bool visible_;
    QColor barColor_;
    double pressPosition_ = 0;
};

}  // namespace quellor
