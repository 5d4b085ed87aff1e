#include "ui/panels/BluetoothRow.h"

#include "audio/BluetoothAudioMonitor.h"
#include "ui/panels/DeviceSymbols.h"

namespace quellor {

BluetoothRow BluetoothRow::of(const BluetoothAudioDevice& device, bool isBusy, bool hovering) {
    BluetoothRow spec;
    spec.symbol = bluetoothSymbolName(device.name, device.minorClass);
    spec.name = device.name;
    spec.isEnabled = !isBusy;
    spec.isHighlighted = hovering;
    spec.trailing = isBusy ? Trailing::Progress : hovering ? Trailing::Connect : Trailing::None;
    return spec;
}

BluetoothRow BluetoothRow::of(const BluetoothAudioMonitor& monitor, const BluetoothAudioDevice& device,
                              bool hovering) {
    return of(device, monitor.busy().contains(device.id), hovering);
}

}  // namespace quellor
