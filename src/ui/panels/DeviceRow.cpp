#include "ui/panels/DeviceRow.h"

#include "audio/AudioDeviceMonitor.h"
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

DeviceRow DeviceRow::of(const AudioDevice& device, bool isInput, bool isDefault,
                        const std::optional<BluetoothAudioDevice>& bluetooth, bool hovering,
                        bool suppressHover, bool dragging) {
    DeviceRow spec;
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

DeviceRow DeviceRow::of(MixerEngine& engine, const AudioDevice& device, const AudioDeviceMonitor& monitor,
                        bool hovering, bool suppressHover, bool dragging) {
    return of(device, monitor.direction() == AudioDirection::input, device.id == monitor.defaultDeviceID(),
              engine.bluetoothDevice(device), hovering, suppressHover, dragging);
}

}  // namespace quellor
