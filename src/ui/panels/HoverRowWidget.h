#pragma once
// The base of the device and Bluetooth rows: a row that highlights under the pointer, with the
// painting helpers both rows share.
//
// Threads: main thread only.

#include <QColor>
#include <QRectF>
#include <QWidget>

#include "ui/style/ThemeMode.h"

namespace quellor {

// A row that highlights under the pointer: it knows whether the pointer is over it and repaints
// when that changes.
class HoverRowWidget : public QWidget {
    Q_OBJECT
public:
    using QWidget::QWidget;
    bool isHovering() const { return hovering_; }

protected:
    // The highlight under the pointer, at `opacity`.
    static QColor highlightFill(ThemeMode mode, double opacity);
    // A symbol of `pointSize` centred in a frame of `frameWidth` that starts at `x`.
    static QRectF symbolSquare(double x, double frameWidth, double pointSize, double rowHeight);

    void enterEvent(QEnterEvent*) override;
    void leaveEvent(QEvent*) override;
    void hideEvent(QHideEvent*) override;

private:
    bool hovering_ = false;
};

}  // namespace quellor
