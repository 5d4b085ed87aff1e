#pragma once
// The device row and the Bluetooth row as widgets: they paint DeviceRowSpec and BluetoothRowSpec
// and forward the pointer. A device row's click makes its device the default of its monitor's
// direction; its drags go to the owner (the device list) as moves and a finish, with positions in
// the window's coordinates. A Bluetooth row's click connects its device.
//
// Threads: main thread only.

#include <QWidget>
#include <functional>

#include "ui/panels/DeviceRow.h"

class QTimer;

namespace quellor {

class AudioDeviceMonitor;
class MixerEngine;
class ThemeController;

// A row that highlights under the pointer: it knows whether the pointer is over it and repaints
// when that changes.
class HoverRowWidget : public QWidget {
    Q_OBJECT
public:
    using QWidget::QWidget;
    bool isHovering() const { return hovering_; }

protected:
    void enterEvent(QEnterEvent*) override;
    void leaveEvent(QEvent*) override;
    void hideEvent(QHideEvent*) override;

private:
    bool hovering_ = false;
};

class DeviceRowWidget : public HoverRowWidget {
    Q_OBJECT
public:
    // Drag events of the row, for the device list; `uid` names the row's device.
    struct Reorder {
        std::function<void(const QString& uid, const DeviceRowGesture::Moved&)> moved;
        std::function<void(const QString& uid, const DeviceRowGesture::Finished&)> finished;
    };

    // Needs the engine (Bluetooth match, disconnect), the device's monitor and the theme. Without
    // `reorder` the row cannot be dragged.
    DeviceRowWidget(MixerEngine& engine, AudioDeviceMonitor& monitor, ThemeController& themes, AudioDevice device,
                    Reorder reorder = {}, QWidget* parent = nullptr);

    void setDevice(const AudioDevice& device);
    const AudioDevice& device() const { return device_; }
    void setSuppressHover(bool suppress);
    // What the row shows now.
    DeviceRowSpec spec() const;
    bool isDraggingRow() const { return gesture_.isDraggingRow(); }
    // The disconnect button's square, in the row's coordinates.
    QRectF disconnectRect() const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent*) override;
    void mouseMoveEvent(QMouseEvent*) override;
    void mouseReleaseEvent(QMouseEvent*) override;
    void hideEvent(QHideEvent*) override;
    bool event(QEvent*) override;

private:
    bool canReorder() const { return reorder_.moved && reorder_.finished; }
    QPointF windowPoint(const QMouseEvent& event) const;
    void updateCursor();

    MixerEngine& engine_;
    AudioDeviceMonitor& monitor_;
    ThemeController& themes_;
    AudioDevice device_;
    Reorder reorder_;
    bool suppressHover_ = false;
    DeviceRowGesture gesture_;
    QRectF sealRect_;  // where the seal was last painted; empty without one
};

class BluetoothRowWidget : public HoverRowWidget {
    Q_OBJECT
public:
    // Needs the engine (connect, busy set) and the theme.
    BluetoothRowWidget(MixerEngine& engine, ThemeController& themes, BluetoothAudioDevice device,
                       QWidget* parent = nullptr);

    void setDevice(const BluetoothAudioDevice& device);
    const BluetoothAudioDevice& device() const { return device_; }
    BluetoothRowSpec spec() const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent*) override;
    void mouseReleaseEvent(QMouseEvent*) override;

private:
    void busyChanged();

    MixerEngine& engine_;
    ThemeController& themes_;
    BluetoothAudioDevice device_;
    bool pressed_ = false;
    QTimer* spinner_;
    int spinnerStep_ = 0;
};

}  // namespace quellor
