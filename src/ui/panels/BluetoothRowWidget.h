#pragma once
// The Bluetooth row as a widget: it paints BluetoothRow and forwards the pointer. Its click
// connects its device.
//
// Threads: main thread only.

#include "ui/panels/BluetoothRow.h"
#include "ui/panels/HoverRowWidget.h"

class QTimer;

namespace quellor {

class MixerEngine;
class ThemeController;

class BluetoothRowWidget : public HoverRowWidget {
    Q_OBJECT
public:
    // Needs the engine (connect, busy set) and the theme.
    BluetoothRowWidget(MixerEngine& engine, ThemeController& themes, BluetoothAudioDevice device,
                       QWidget* parent = nullptr);

    void setDevice(const BluetoothAudioDevice& device);
    const BluetoothAudioDevice& device() const { return device_; }
    BluetoothRow spec() const;

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
