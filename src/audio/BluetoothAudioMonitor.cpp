#include "audio/BluetoothAudioMonitor.h"

#include <QThreadPool>
#include <algorithm>

#include "audio/NameOrder.h"
#include "base/Observable.h"
#include "platform/BluetoothDevices.h"

namespace quellor {

BluetoothAudioMonitor::BackgroundRunner BluetoothAudioMonitor::threadPool() {
    return [](std::function<void()> job) { QThreadPool::globalInstance()->start(std::move(job)); };
}

BluetoothAudioMonitor::BluetoothAudioMonitor(BluetoothDevices& bluetooth, BackgroundRunner background, QObject* parent)
    : QObject(parent), bluetooth_(bluetooth), background_(std::move(background)), scheduler_(&Scheduler::current()) {}

std::vector<BluetoothAudioDevice> BluetoothAudioMonitor::listPairedAudioDevices(BluetoothDevices& bluetooth) {
    Logger log(QStringLiteral("BluetoothAudioMonitor"));
    std::vector<BluetoothAudioDevice> devices;
    for (const PairedBluetoothDevice& d : bluetooth.pairedDevices().value_or(std::vector<PairedBluetoothDevice>{})) {
        if (!d.address || d.majorClass != BluetoothDevices::kAudioMajorClass) continue;
        QString name = d.name.value_or(*d.address);
        log.debug("Paired %s: minor class %u", qPrintable(name), d.minorClass);
        devices.push_back(BluetoothAudioDevice{*d.address, name, d.connected, d.minorClass});
    }
    NameOrder names;
    std::stable_sort(devices.begin(), devices.end(),
                     [&](const auto& a, const auto& b) { return names(a.name, b.name); });
    return devices;
}

void BluetoothAudioMonitor::refresh() {
    int generation = ++refreshGeneration_;
    background_([this, generation, scheduler = scheduler_, alive = alive_.weak(), &bluetooth = bluetooth_] {
        auto devices = listPairedAudioDevices(bluetooth);
        scheduler->post([this, generation, alive, devices = std::move(devices)] {
            if (!alive.lock() || generation != refreshGeneration_) return;
            if (assignIfChanged(paired_, devices)) emit pairedChanged();
        });
    });
}

void BluetoothAudioMonitor::connect(const BluetoothAudioDevice& device,
                                    std::function<void(const BluetoothAudioDevice&)> completion) {
    changeConnection(device, true, std::move(completion));
}

void BluetoothAudioMonitor::disconnect(const BluetoothAudioDevice& device) { changeConnection(device, false, {}); }

void BluetoothAudioMonitor::changeConnection(const BluetoothAudioDevice& device, bool connect,
                                             std::function<void(const BluetoothAudioDevice&)> completion) {
    if (busy_.contains(device.id)) return;
    busy_.insert(device.id);
    emit busyChanged();
    background_([this, device, connect, completion = std::move(completion), scheduler = scheduler_,
                 alive = alive_.weak(), &bluetooth = bluetooth_]() mutable {
        std::int32_t status = connect ? bluetooth.openConnection(device.id) : bluetooth.closeConnection(device.id);
        scheduler->post([this, device, connect, status, alive, completion = std::move(completion)] {
            if (!alive.lock()) return;
            busy_.remove(device.id);
            emit busyChanged();
            refresh();
            if (status == BluetoothDevices::kSuccess) {
                if (completion) completion(device);
            } else if (connect) {
                log_.error("Connect failed for %s: IOReturn %d", qPrintable(device.name), status);
            } else {
                log_.error("Disconnect failed for %s: IOReturn %d", qPrintable(device.name), status);
            }
        });
    });
}

}  // namespace quellor
