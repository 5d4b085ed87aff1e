#include "ui/panels/DeviceRow.h"

#include <cmath>

#include "audio/AudioDeviceMonitor.h"
#include "audio/BluetoothAudioMonitor.h"
#include "engine/MixerEngine.h"
#include "ui/panels/DeviceSymbols.h"

namespace quellor {

bool isVerifiedDevice(const QString& name) {
    static const char* const kVerified[] = {"babyface pro"};
    const QString n = name.toLower();
    for (const char* entry : kVerified)
        if (n.contains(QLatin1String(entry))) return true;
    return false;
}

DeviceRowSpec DeviceRowSpec::of(const AudioDevice& device, bool isInput, bool isDefault,
                                const std::optional<BluetoothAudioDevice>& bluetooth, bool hovering,
                                bool suppressHover, bool dragging) {
    DeviceRowSpec spec;
    spec.symbol = deviceSymbolName(device, isInput, bluetooth);
    spec.name = device.name;
    spec.isDefault = isDefault;
    spec.isVerified = isVerifiedDevice(device.name);
    spec.isHighlighted = (hovering && !suppressHover) || dragging;
    spec.bluetooth = bluetooth;
    if (bluetooth && spec.isHighlighted) spec.trailing = Trailing::Disconnect;
    else if (isDefault) spec.trailing = Trailing::Checkmark;
    return spec;
}

DeviceRowSpec DeviceRowSpec::of(MixerEngine& engine, const AudioDevice& device, const AudioDeviceMonitor& monitor,
                                bool hovering, bool suppressHover, bool dragging) {
    return of(device, monitor.direction() == AudioDirection::input, device.id == monitor.defaultDeviceID(),
              engine.bluetoothDevice(device), hovering, suppressHover, dragging);
}

void DeviceRowGesture::pressed(QPointF location, bool onDisconnectButton) {
    pressAt_ = location;
    onButton_ = onDisconnectButton;
    isDragging_ = false;
}

std::optional<DeviceRowGesture::Moved> DeviceRowGesture::moved(QPointF location, bool canReorder) {
    if (!pressAt_) return std::nullopt;
    const QPointF delta = location - *pressAt_;
    if (!isDragging_ && std::hypot(delta.x(), delta.y()) < kMinimumDragDistance) return std::nullopt;
    // From here on the press is a drag, whatever it began on; it is no click any more.
    onButton_ = false;
    if (!canReorder) {
        pressAt_.reset();
        return std::nullopt;
    }
    isDragging_ = true;
    return Moved{delta.y(), location};
}

DeviceRowGesture::Release DeviceRowGesture::released(QPointF location, bool canReorder) {
    Release release;
    if (!pressAt_) return release;
    if (isDragging_) {
        if (canReorder) release.finished = Finished{location};
    } else {
        const QPointF delta = location - *pressAt_;
        if (std::hypot(delta.x(), delta.y()) < kMinimumDragDistance)
            release.click = onButton_ ? Click::DisconnectButton : Click::Row;
    }
    cancel();
    return release;
}

void DeviceRowGesture::cancel() {
    pressAt_.reset();
    onButton_ = false;
    isDragging_ = false;
}

BluetoothRowSpec BluetoothRowSpec::of(const BluetoothAudioDevice& device, bool isBusy, bool hovering) {
    BluetoothRowSpec spec;
    spec.symbol = bluetoothSymbolName(device.name, device.minorClass);
    spec.name = device.name;
    spec.isEnabled = !isBusy;
    spec.isHighlighted = hovering;
    spec.trailing = isBusy ? Trailing::Progress : hovering ? Trailing::Connect : Trailing::None;
    return spec;
}

BluetoothRowSpec BluetoothRowSpec::of(const BluetoothAudioMonitor& monitor, const BluetoothAudioDevice& device,
                                      bool hovering) {
    return of(device, monitor.busy().contains(device.id), hovering);
}

}  // namespace quellor
