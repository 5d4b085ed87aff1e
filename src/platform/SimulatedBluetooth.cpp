#include "platform/SimulatedBluetooth.h"

#include <algorithm>

#include "platform/SimulatedHardware.h"
#include "platform/SimulatedWorld.h"

namespace quellor {

SimulatedBluetooth::SimulatedBluetooth() : scheduler_(&Scheduler::current()) {}

SimulatedBluetooth::Entry* SimulatedBluetooth::find(const QString& address) {
    for (Entry& e : entries_)
        if (e.device.address == address) return &e;
    return nullptr;
}

std::optional<std::vector<PairedBluetoothDevice>> SimulatedBluetooth::pairedDevices() {
    std::lock_guard lock(mutex_);
    if (!listAvailable_) return std::nullopt;
    std::vector<PairedBluetoothDevice> devices;
    for (const Entry& e : entries_) devices.push_back(e.device);
    return devices;
}

std::int32_t SimulatedBluetooth::openConnection(const QString& address) { return setConnected(address, true); }

std::int32_t SimulatedBluetooth::closeConnection(const QString& address) { return setConnected(address, false); }

std::int32_t SimulatedBluetooth::setConnected(const QString& address, bool connected) {
    {
        std::lock_guard lock(mutex_);
        Entry* e = find(address);
        if (!e) return kGeneralError;
        if (connected) e->opens += 1;
        std::int32_t status = connected ? e->openStatus : e->closeStatus;
        if (status != kSuccess) return status;
        e->device.connected = connected;
    }
    // The hooks are looked up on the main thread, where they are configured.
    scheduler_->post(alive_.guard([this, address, connected] {
        auto it = hooks_.find(address);
        if (it == hooks_.end()) return;
        if (!connected) {
            if (it->second.vanish) it->second.vanish();
            return;
        }
        scheduler_->after(it->second.delaySeconds, alive_.guard([this, address] {
            auto hook = hooks_.find(address);
            bool stillConnected = false;
            {
                std::lock_guard lock(mutex_);
                Entry* e = find(address);
                stillConnected = e && e->device.connected;
            }
            if (hook != hooks_.end() && hook->second.appear && stillConnected) hook->second.appear();
        }));
    }));
    return kSuccess;
}

void SimulatedBluetooth::pair(const PairedBluetoothDevice& device) {
    std::lock_guard lock(mutex_);
    if (Entry* e = device.address ? find(*device.address) : nullptr)
        e->device = device;
    else
        entries_.push_back(Entry{device});
}

void SimulatedBluetooth::unpair(const QString& address) {
    std::lock_guard lock(mutex_);
    std::erase_if(entries_, [&](const Entry& e) { return e.device.address == address; });
}

void SimulatedBluetooth::setPairedListAvailable(bool available) {
    std::lock_guard lock(mutex_);
    listAvailable_ = available;
}

void SimulatedBluetooth::setOpenStatus(const QString& address, std::int32_t status) {
    std::lock_guard lock(mutex_);
    if (Entry* e = find(address)) e->openStatus = status;
}

void SimulatedBluetooth::setCloseStatus(const QString& address, std::int32_t status) {
    std::lock_guard lock(mutex_);
    if (Entry* e = find(address)) e->closeStatus = status;
}

void SimulatedBluetooth::setOutputHook(const QString& address, OutputHook hook) { hooks_[address] = std::move(hook); }

int SimulatedBluetooth::openCount(const QString& address) const {
    std::lock_guard lock(mutex_);
    for (const Entry& e : entries_)
        if (e.device.address == address) return e.opens;
    return 0;
}

void SimulatedBluetooth::populate(const SimulatedWorld& world, SimulatedHardware& hardware, double delaySeconds) {
    for (const SimulatedWorld::BluetoothDevice& b : world.bluetooth) {
        pair({b.address, kAudioMajorClass, b.minorClass, b.name.isEmpty() ? std::nullopt : std::optional(b.name),
              b.connected});
        auto described = std::find_if(world.devices.begin(), world.devices.end(),
                                      [&](const SimulatedDevice& d) { return d.uid == b.deviceUID; });
        if (b.deviceUID.isEmpty() || described == world.devices.end()) continue;
        SimulatedDevice output = *described;
        if (!b.connected) hardware.removeDevice(hardware.deviceWithUID(output.uid));
        setOutputHook(b.address, {delaySeconds,
                                  [&hardware, output] {
                                      if (!hardware.deviceWithUID(output.uid)) hardware.addDevice(output);
                                  },
                                  [&hardware, uid = output.uid] { hardware.removeDevice(hardware.deviceWithUID(uid)); }});
    }
}

}  // namespace quellor
