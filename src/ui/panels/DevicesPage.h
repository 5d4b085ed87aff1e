#pragma once
// The device page of the mixer view, as logic: which blocks it shows and what they hold.
//
// Output side: the MAIN and PHONES cards always; below them, once the engine runs, the output devices
// that are not in use (the default output and every device an application is routed to are shown
// elsewhere) while there is at least one. Input side: the strip of the default input's volume; below
// it, once the engine runs, the input devices while there are at least two to choose from. Then the
// paired Bluetooth devices that are not an output device now, the permission banner while the
// capture permission is missing, and the update banner while an update is found or staged.
//
// Threads: main thread only (it reads the engine and its monitors).

#include <QMargins>
#include <QSet>
#include <QString>
#include <optional>
#include <vector>

#include "audio/AudioDevice.h"
#include "audio/BluetoothAudioDevice.h"

namespace quellor {

class MixerEngine;

enum class AudioSide { Output, Input };

// The paired devices, in their order, that own none of the output devices.
std::vector<BluetoothAudioDevice> unconnectedBluetoothDevices(const std::vector<BluetoothAudioDevice>& paired,
                                                              const std::vector<AudioDevice>& outputs);

struct DevicesPage {
    static inline const QString kBluetoothHeading = QStringLiteral("BLUETOOTH");

    AudioSide side = AudioSide::Output;
    // The default output and every device an application is routed to.
    QSet<QString> inUseOutputUIDs;
    bool showsOutputList = false;
    bool showsInputList = false;
    std::vector<BluetoothAudioDevice> bluetooth;  // the Bluetooth section's rows; empty: no section
    bool showsPermissionBanner = false;
    std::optional<QString> updateVersion;  // the banner's version; none: no banner

    // `staged` and `available`: the update state of the application (a staged update wins).
    // The page's margins: its padding, less the outset of the lists on each side (the page's other
    // blocks are inset by as much again).
    static QMargins margins();

    static DevicesPage of(MixerEngine& engine, AudioSide side, const std::optional<QString>& staged = {},
                          const std::optional<QString>& available = {});
};

}  // namespace quellor
