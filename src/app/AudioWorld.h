#pragma once
// The audio side the program runs on, chosen once at start:
// - QUELLOR_WORLD names a file: the simulated world of that file (nothing when it is unusable);
// - otherwise the machine's PipeWire server when one answers, with the running applications read
//   from /proc and no Bluetooth devices of our own (the desktop pairs them; they come as audio
//   devices);
// - otherwise the built-in simulated world.
// One log line says which, and why.
//
// Threads: main thread only.

#include <QString>
#include <functional>
#include <memory>

#include "base/Logger.h"
#include <optional>

#include "platform/AudioHardware.h"
#include "platform/PipeWireHardware.h"
#include "platform/SimulatedBluetooth.h"
#include "platform/SimulatedHardware.h"
#include "platform/SimulatedRunningApplications.h"
#include "platform/SimulatedWorld.h"

namespace quellor {

class AudioWorld {
public:
    enum class Kind { simulatedFile, pipeWire, simulatedBuiltIn };

    // Connects to the server; nothing when none answers.
    using PipeWireConnector = std::function<std::unique_ptr<PipeWireHardware>()>;
    static std::unique_ptr<PipeWireHardware> connectPipeWire();

    // Nothing when the named world file is unusable (logged as an error).
    static std::unique_ptr<AudioWorld> open(const QString& worldPath, const Logger& log,
                                            const PipeWireConnector& connect = connectPipeWire);
    ~AudioWorld();

    Kind kind() const { return kind_; }
    AudioHardware& hardware();
    RunningApplications& runningApplications();
    BluetoothDevices& bluetooth();

    // Fills a simulated world and starts its real-time IO; a PipeWire world fills itself.
    void populate();
    // Stops every IO cycle before the objects it touches go.
    void stop();
    // Logs the devices and applications a simulated world starts with.
    void logContents(const Logger& log) const;

private:
    AudioWorld() = default;

    Kind kind_ = Kind::simulatedBuiltIn;
    std::optional<SimulatedWorld> world_;  // simulated kinds
    std::unique_ptr<SimulatedHardware> simulated_;
    std::unique_ptr<PipeWireHardware> pipeWire_;
    std::unique_ptr<RunningApplications> running_;
    SimulatedBluetooth bluetooth_;  // stays empty on PipeWire
};

}  // namespace quellor
