#pragma once
// The device row as a widget: it paints DeviceRow and forwards the pointer. A device row's
// click makes its device the default of its monitor's direction; its drags go to the owner (the
// device list) as moves and a finish, with positions in the window's coordinates.
//
// Threads: main thread only.

#include <functional>

#include "ui/panels/DeviceRow.h"
#include "ui/panels/DeviceRowGesture.h"
#include "ui/panels/HoverRowWidget.h"

namespace quellor {

class AudioDeviceMonitor;
class MixerEngine;
class ThemeController;

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
    DeviceRow spec() const;
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

}  // namespace quellor
