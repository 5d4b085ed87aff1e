#pragma once
// Simulated paired Bluetooth devices. Tests and the simulated world pair devices, choose the
// status each connect or disconnect returns, and take the paired list away. A headset can be given
// an output hook: once a connection to it succeeds, the hook's `appear` runs on the main thread
// after the hook's delay (the simulated world adds an output device there), and `vanish` runs
// when it is disconnected.
//
// Threads: the BluetoothDevices calls are safe from any thread (one lock); configuration and the
// hooks belong to the main thread. The Scheduler installed at construction carries the hooks.

#include <functional>
#include <map>
#include <mutex>

#include "base/Scheduler.h"
#include "platform/BluetoothDevices.h"

namespace quellor {

class SimulatedHardware;
class SimulatedWorld;

class SimulatedBluetooth : public BluetoothDevices {
public:
    struct OutputHook {
        double delaySeconds = 0;
        std::function<void()> appear;
        std::function<void()> vanish;
    };

    SimulatedBluetooth();

    std::optional<std::vector<PairedBluetoothDevice>> pairedDevices() override;
    std::int32_t openConnection(const QString& address) override;
    std::int32_t closeConnection(const QString& address) override;

    // Pairs a device (appended to the list) or updates it in place when its address is known.
    void pair(const PairedBluetoothDevice& device);
    void unpair(const QString& address);
    void setPairedListAvailable(bool available);
    void setOpenStatus(const QString& address, std::int32_t status);
    void setCloseStatus(const QString& address, std::int32_t status);
    void setOutputHook(const QString& address, OutputHook hook);
    int openCount(const QString& address) const;

    // Pairs the Bluetooth devices of a simulated world that has been populated into `hardware`.
    // A device that names its audio device (deviceUID) becomes a headset: while it is not
    // connected that device is taken out of the hardware, and it is added back `delaySeconds`
    // after a connection succeeds.
    void populate(const SimulatedWorld& world, SimulatedHardware& hardware, double delaySeconds = kOutputDelaySeconds);

    static constexpr double kOutputDelaySeconds = 1.0;

private:
    struct Entry {
        PairedBluetoothDevice device;
        std::int32_t openStatus = kSuccess;
        std::int32_t closeStatus = kSuccess;
        int opens = 0;
    };
    std::int32_t setConnected(const QString& address, bool connected);
    Entry* find(const QString& address);

    mutable std::mutex mutex_;
    std::vector<Entry> entries_;
    bool listAvailable_ = true;
    std::map<QString, OutputHook> hooks_;  // main thread only
    Scheduler* scheduler_;
    Liveness alive_;
};

}  // namespace quellor
