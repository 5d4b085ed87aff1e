#pragma once
// The live, ranked list of the audio devices of one direction and the system's default device of
// that direction. A device is listed only when it has channels in the direction; the program's own
// private aggregates are never listed. The monitor never changes the default device by itself: when
// devices come and go it logs what the priority policy would pick; only setDefaultDevice() (a
// user's action, opening a setup, routing to a just-connected Bluetooth device) changes it.
//
// Every device-list or default-device notification refreshes once (no debouncing).
//
// Threads: main thread only. Listener work holds the monitor weakly.

#include <QObject>
#include <memory>
#include <optional>
#include <vector>

#include "audio/AudioDevice.h"
#include "audio/AudioDirection.h"
#include "audio/DevicePriorityStore.h"
#include "audio/DeviceRanking.h"
#include "audio/HALListener.h"
#include "base/Logger.h"
#include "base/Scheduler.h"

namespace quellor {

class AudioDeviceMonitor : public QObject {
    Q_OBJECT
public:
    // The system's own multi-output device; while it is the default the policy stays quiet.
    static constexpr const char* kMultiOutputUID = "com.larchfen.quellor.multi-output";

    // Reads nothing from the hardware until start(). The device ranking is kept in `defaults`, which
    // must outlive the monitor.
    AudioDeviceMonitor(AudioDirection direction, UserDefaults& defaults, QObject* parent = nullptr);

    // Loads the ranking, listens to the device list and the default device, and refreshes.
    void start();
    // Re-reads the default device and the device list.
    void refresh();
    // Makes `device` the system default of this direction; a failure is logged and changes nothing.
    void setDefaultDevice(const AudioDevice& device);
    // Stores the order after the user dragged `movedUID` within the visible devices, arms the
    // dragged device and re-sorts the list.
    void applyOrder(const QStringList& visibleUIDs, const QString& movedUID);

    AudioDirection direction() const { return direction_; }
    const std::vector<AudioDevice>& devices() const { return devices_; }
    // 0 when none is known.
    AudioObjectID defaultDeviceID() const { return defaultDeviceID_; }
    const DeviceRanking& ranking() const { return ranking_; }

    // The total channel count of the device's output streams; 0 when unreadable.
    static int outputChannelCount(AudioObjectID device);

signals:
    void devicesChanged();
    void defaultDeviceIDChanged();

private:
    void evaluatePolicy(const QSet<QString>& previousUIDs, const std::optional<QString>& currentDefaultUID);
    std::optional<AudioDevice> readDevice(AudioObjectID id) const;
    void assignDevices(std::vector<AudioDevice> devices);

    AudioDirection direction_;
    std::vector<AudioDevice> devices_;
    AudioObjectID defaultDeviceID_ = 0;
    std::vector<std::unique_ptr<HALListener>> listeners_;
    DeviceRanking ranking_;
    DevicePriorityStore priorityStore_;
    bool hasBaseline_ = false;
    std::optional<QString> lastDefaultUID_;
    Logger log_{QStringLiteral("AudioDeviceMonitor")};
    Liveness alive_;
};

}  // namespace quellor
