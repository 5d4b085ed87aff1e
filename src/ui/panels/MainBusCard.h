#pragma once
// The MAIN card, as logic: the default output device, its volume, and the drop hint while a dragged
// device is over the card, with MIDI learn for the MAIN level. Everything is read from the engine
// when the card model is built; the card keeps nothing.
//
// Threads: main thread only.

#include <QString>
#include <functional>
#include <optional>

#include "audio/AudioDevice.h"
#include "audio/BluetoothAudioDevice.h"
#include "ui/console/MIDIStatusBadge.h"
#include "ui/panels/LevelRow.h"
#include "ui/panels/OutputBus.h"

namespace quellor {

class MIDIMappingManager;
class MixerEngine;

// The symbol of a device as the device lists draw it: (device, isInput, its paired Bluetooth device).
using DeviceSymbolLookup =
    std::function<QString(const AudioDevice&, bool isInput, const std::optional<BluetoothAudioDevice>&)>;

struct MainBusCard {
    static inline const QString kDropHint = QStringLiteral("Drop to make this the main output");

    MIDIStatusBadge badge;
    // The default output device: its symbol and name, with a check mark.
    struct Device {
        QString symbol;
        QString name;
        bool operator==(const Device&) const = default;
    };
    std::optional<Device> device;
    // Shown instead while no default output device is known: the name the system volume follows.
    QString fallbackName;
    LevelRow level;  // the default output's own volume
    bool showsDropHint = false;

    // `symbol` names the device's symbol; without one every device shows "hifispeaker".
    static MainBusCard of(MixerEngine& engine, const MIDIMappingManager& mappings,
                          std::optional<OutputBus> busTarget, const DeviceSymbolLookup& symbol = {});
};

}  // namespace quellor
