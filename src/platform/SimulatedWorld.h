#pragma once
// A description of a simulated machine: its audio devices, default devices, audio-producing
// processes (with the tone each one plays) and paired Bluetooth devices. It is read from and written
// to a JSON file, and populates a SimulatedHardware. The application starts on builtIn() unless
// QUELLOR_WORLD names a file.
//
// JSON (members as below; optional members may be left out, null counts as absent; four-character
// codes are 4-character strings; a direction of a device has at most 128 channels, and buffer frame
// sizes and their range lie within 0...16384, since the simulation allocates by them every cycle):
// {
//   "devices": [{ "uid": "...", "name": "...", "transport": "usb ",
//                 "output": { "streams": [2, 6], "dataSource": "ispk", "volume": {"value": 0.5,
//                             "settable": true}, "volumeScalar": {...}, "mute": {"muted": false,
//                             "settable": true}, "safetyOffset": 0, "latency": 0 },
//                 "input": { ...the same... },
//                 "sampleRate": 48000, "bufferFrameSize": 512, "bufferFrameSizeRange": [15, 4096],
//                 "alive": true, "runningSomewhere": false, "subDevices": ["uid", ...] }],
//   "defaultOutput": "uid", "defaultInput": "uid",
//   "processes": [{ "pid": 4101, "bundleID": "...", "name": "...", "playing": true, "recording": false,
//                   "responsiblePid": 4100,
//                   "tone": {"kind": "sine", "frequency": 440, "amplitude": 0.25} }],
//                   // kinds: "sine" (frequency, amplitude), "dc" (value), "silence"
//   "bluetooth": [{ "address": "...", "name": "...", "minorClass": 6, "connected": false,
//                   "deviceUID": "..." }],
//   "capturePermission": true   // false: the user has not let this program capture audio
// }
//
// Threads: a plain value type.

#include <QByteArray>
#include <QString>
#include <optional>
#include <vector>

#include "platform/SimulatedDevice.h"
#include "platform/SimulatedProcess.h"

namespace quellor {

class SimulatedHardware;

class SimulatedWorld {
public:
    // What a process plays.
    struct Tone {
        enum class Kind { silence, sine, dc };
        Kind kind = Kind::silence;
        double frequency = 440.0;  // sine, Hz
        float amplitude = 0.25f;   // sine, peak
        float value = 0.0f;        // dc
        friend bool operator==(const Tone&, const Tone&) = default;
    };
    struct Process {
        SimulatedProcess process;  // runningOutput = "playing", runningInput = "recording"
        Tone tone;
        friend bool operator==(const Process&, const Process&) = default;
    };
    // A paired Bluetooth audio device; deviceUID names the audio device it becomes when connected.
    struct BluetoothDevice {
        QString address;
        QString name;
        std::uint32_t minorClass = 0;
        bool connected = false;
        QString deviceUID;
        friend bool operator==(const BluetoothDevice&, const BluetoothDevice&) = default;
    };

    std::vector<SimulatedDevice> devices;
    QString defaultOutputUID;  // empty: the hardware's own choice (the first device with output)
    QString defaultInputUID;
    std::vector<Process> processes;
    std::vector<BluetoothDevice> bluetooth;
    bool capturePermission = true;  // false: every tap creation is refused

    // Two applications playing tones and one silent, on a built-in output, an 8-channel USB
    // interface (the default output, with inputs) and a Bluetooth headset.
    static SimulatedWorld builtIn();

    // Nothing when the text is not a valid description; `error` then says which member is wrong.
    static std::optional<SimulatedWorld> fromJson(const QByteArray& json, QString& error);
    static std::optional<SimulatedWorld> load(const QString& path, QString& error);
    QByteArray toJson() const;
    bool save(const QString& path, QString& error) const;

    // Adds the devices and processes, sets the defaults and grants or refuses capture.
    void populate(SimulatedHardware& hardware) const;

    friend bool operator==(const SimulatedWorld&, const SimulatedWorld&) = default;
};

}  // namespace quellor
