#pragma once
// The paired Bluetooth audio devices with their connection state, and connecting or disconnecting
// one on request. Listing and connecting can block, so they run off the main thread; their results
// come back to the main thread through the Scheduler and do nothing once the monitor is gone.
//
// A refresh result is applied only when no newer refresh was asked for meanwhile, whatever order
// the listings finish in. A device with a connect or disconnect in progress is `busy` and accepts
// no second one.
//
// Threads: main thread only. The background runner and the BluetoothDevices must outlive every
// job handed to the runner.

#include <QObject>
#include <QSet>
#include <functional>
#include <vector>

#include "audio/BluetoothAudioDevice.h"
#include "base/Logger.h"
#include "base/Scheduler.h"

namespace quellor {

class BluetoothDevices;

class BluetoothAudioMonitor : public QObject {
    Q_OBJECT
public:
    // Runs a job on some other thread.
    using BackgroundRunner = std::function<void(std::function<void()> job)>;
    // The application's thread pool.
    static BackgroundRunner threadPool();

    BluetoothAudioMonitor(BluetoothDevices& bluetooth, BackgroundRunner background = threadPool(),
                          QObject* parent = nullptr);

    // Sorted by name, case-insensitively in the user's locale.
    const std::vector<BluetoothAudioDevice>& paired() const { return paired_; }
    const QSet<QString>& busy() const { return busy_; }

    void refresh();
    // `completion` runs on the main thread only after a successful connection.
    void connect(const BluetoothAudioDevice& device, std::function<void(const BluetoothAudioDevice&)> completion);
    void disconnect(const BluetoothAudioDevice& device);

    // The listing itself: the paired devices of the audio class, sorted. Any thread.
    static std::vector<BluetoothAudioDevice> listPairedAudioDevices(BluetoothDevices& bluetooth);

signals:
    void pairedChanged();
    void busyChanged();

private:
    void changeConnection(const BluetoothAudioDevice& device, bool connect,
                          std::function<void(const BluetoothAudioDevice&)> completion);

    BluetoothDevices& bluetooth_;
    BackgroundRunner background_;
    Scheduler* scheduler_;
    std::vector<BluetoothAudioDevice> paired_;
    QSet<QString> busy_;
    int refreshGeneration_ = 0;
    Logger log_{QStringLiteral("BluetoothAudioMonitor")};
    Liveness alive_;
};

}  // namespace quellor
