#pragma once
// What a row's pointer does: a press that moves less than 6 points before its release is a click
// (the row's or, when it began on the disconnect button, the button's); from the move that reaches 6
// points on it is a drag, reported to the device list with the vertical translation since the press
// and the pointer's place, both in the window's coordinates. A row without a drag handler keeps its
// drags to itself: it neither reports them nor counts them as clicks.
//
// Threads: main thread only.

#include <QPointF>
#include <optional>

namespace quellor {

class DeviceRowGesture {
public:
    static constexpr double kMinimumDragDistance = 6;

    struct Moved {
        double translation = 0;
        QPointF location;
    };
    struct Finished {
        QPointF location;
    };
    enum class Click { None, Row, DisconnectButton };

    // `onDisconnectButton`: the press began on the disconnect button (only while it is shown).
    void pressed(QPointF location, bool onDisconnectButton = false);
    // A move event to report to the list, if any.
    std::optional<Moved> moved(QPointF location, bool canReorder);
    struct Release {
        Click click = Click::None;
        std::optional<Finished> finished;
    };
    Release released(QPointF location, bool canReorder);
    // The press went away without a release (the row was hidden or taken away).
    void cancel();

    bool isPressed() const { return pressAt_.has_value(); }
    bool isDraggingRow() const { return isDragging_; }

private:
    std::optional<QPointF> pressAt_;
    bool onButton_ = false;
    bool isDragging_ = false;
};

}  // namespace quellor
