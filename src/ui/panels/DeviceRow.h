#pragma once
// The two compact rows of the device page, as logic.
//
// A device row shows one device of a device monitor: its symbol and name, a seal for interfaces
// the program is verified with, and a check mark on the default device. A click makes the device the
// default of its direction; a drag is handed to the device list (reorder, drop on the MAIN card). A
// row of a paired Bluetooth device offers a disconnect button while it is highlighted, in place of
// the check mark.
//
// A Bluetooth row shows one paired Bluetooth device that is not an output; the whole row is a
// button that connects it, disabled while a connection or disconnection of that device runs.
//
// Threads: main thread only.

#include <QPointF>
#include <QRectF>
#include <QString>
#include <optional>

#include "audio/AudioDevice.h"
#include "audio/BluetoothAudioDevice.h"

namespace quellor {

class AudioDeviceMonitor;
class BluetoothAudioMonitor;
class MixerEngine;

struct DeviceRowSpec {
    static constexpr int kHeight = 28;
    static constexpr int kHorizontalPadding = 8;
    static constexpr int kSpacing = 8;
    static constexpr int kIconWidth = 18;
    static constexpr int kIconPointSize = 13;
    static constexpr int kNamePointSize = 12;
    static constexpr int kSealPointSize = 10;
    static constexpr int kDisconnectPointSize = 12;
    static constexpr int kCheckPointSize = 11;
    static constexpr double kCornerRadius = 6;
    static constexpr double kHighlightOpacity = 0.6;
    static constexpr const char* kSealHelp = "Verified support \u2014 tested with Quellor";

    enum class Trailing { None, Disconnect, Checkmark };

    QString symbol;
    QString name;
    bool isDefault = false;  // accent icon, semibold name
    bool isVerified = false;
    bool isHighlighted = false;
    Trailing trailing = Trailing::None;
    std::optional<BluetoothAudioDevice> bluetooth;  // what the disconnect button disconnects

    // `hovering`: the pointer is over the row; `suppressHover`: another row is being dragged;
    // `dragging`: this row is.
    static DeviceRowSpec of(const AudioDevice& device, bool isInput, bool isDefault,
                            const std::optional<BluetoothAudioDevice>& bluetooth, bool hovering, bool suppressHover,
                            bool dragging);
    static DeviceRowSpec of(MixerEngine& engine, const AudioDevice& device, const AudioDeviceMonitor& monitor,
                            bool hovering, bool suppressHover, bool dragging);
};

// Interfaces the program is tested with: a name that contains one of them, in any letter case.
bool isVerifiedDevice(const QString& name);

// What a row's pointer does: a press that moves less than 6 points before its release is a click
// (the row's or, when it began on the disconnect button, the button's); from the move that reaches 6
// points on it is a drag, reported to the device list with the vertical translation since the press
// and the pointer's place, both in the window's coordinates. A row without a drag handler keeps its
// drags to itself: it neither reports them nor counts them as clicks.
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

struct BluetoothRowSpec {
    static constexpr int kHorizontalPadding = 8;
    static constexpr int kVerticalPadding = 6;
    static constexpr int kSpacing = 8;
    static constexpr int kIconWidth = 18;
    static constexpr int kIconPointSize = 13;
    static constexpr int kNamePointSize = 12;
    static constexpr int kConnectPointSize = 11;
    static constexpr double kCornerRadius = 6;
    static constexpr double kHighlightOpacity = 0.6;

    enum class Trailing { None, Connect, Progress };

    QString symbol;
    QString name;
    bool isEnabled = true;  // false while busy: a second click cannot start a second connection
    bool isHighlighted = false;
    Trailing trailing = Trailing::None;

    static BluetoothRowSpec of(const BluetoothAudioDevice& device, bool isBusy, bool hovering);
    static BluetoothRowSpec of(const BluetoothAudioMonitor& monitor, const BluetoothAudioDevice& device, bool hovering);
};

}  // namespace quellor
