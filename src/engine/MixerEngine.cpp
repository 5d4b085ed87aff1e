// Construction, start, shutdown, observation of the application and device lists, the
// default-output listener, and the codes and listener of the remote link.

#include "engine/MixerEngine.h"

#include <chrono>
#include <thread>

#include "audio/AudioDeviceMonitor.h"
#include "audio/AudioProcessMonitor.h"
#include "audio/BluetoothAudioMonitor.h"
#include "audio/DeviceVolumeController.h"
#include "audio/HALListener.h"
#include "audio/MirrorAggregateCleanup.h"
#include "audio/PhonesBusVolumeController.h"
#include "audio/SystemVolumeController.h"
#include "base/JsonDefaults.h"
#include "base/Logger.h"
#include "engine/MainRecorder.h"
#include "platform/AudioConstants.h"

namespace quellor {

namespace {

constexpr double kBluetoothRefreshDelay = 2.0;
constexpr double kShutdownRampWait = 0.15;

}  // namespace

MixerEngine::MixerEngine(const Platform& platform, UserDefaults& defaults, QObject* parent)
    : QObject(parent),
      defaults_(defaults),
      processMonitor_(std::make_unique<AudioProcessMonitor>(platform.runningApplications)),
      systemVolume_(std::make_unique<SystemVolumeController>(AudioDirection::output)),
      phonesBusVolume_(std::make_unique<PhonesBusVolumeController>(defaults)),
      deviceMonitor_(std::make_unique<AudioDeviceMonitor>(AudioDirection::output, defaults)),
      inputVolume_(std::make_unique<SystemVolumeController>(AudioDirection::input)),
      inputDeviceMonitor_(std::make_unique<AudioDeviceMonitor>(AudioDirection::input, defaults)),
      bluetooth_(std::make_unique<BluetoothAudioMonitor>(
          platform.bluetoothDevices,
          platform.bluetoothRunner ? platform.bluetoothRunner : BluetoothAudioMonitor::threadPool())),
      remote_(platform.remote),
      stripStyles_(JsonDefaults::load<StripStyleMap>(QStringLiteral("stripStyles"), defaults).value_or(StripStyleMap{})),
      taps_(*this, *processMonitor_, *deviceMonitor_),
      store_(defaults),
      snapshotStore_(defaults),
      companion_(platform.remote, [this] { return appState(); }, platform.companionPort),
      meters_(taps_, companion_, defaults, [this] { checkAutoRecording(); }),
      blockingWait_([](double seconds) {
          std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
      }) {
    connect(&taps_, &TapSet::isRetryingChanged, this, &MixerEngine::isRetryingTapsChanged);
    connect(&taps_, &TapSet::needsAudioCapturePermissionChanged, this,
            &MixerEngine::needsAudioCapturePermissionChanged);
}

MixerEngine::~MixerEngine() = default;

void MixerEngine::start(std::optional<StartingMix> mix) {
    if (isStarted_) return;
    UserDefaults& defaults = defaults_;

    if (mix) {
        Logger("MixerEngine").notice("The stored mix is lost; starting from the current setup's");
        store_.save(mix->volumes);
        if (mix->consoleSlots.size() == kSlotCount || mix->consoleSlots.size() == 8)
            defaults.setStringArray(QStringLiteral("consoleSlots"), mix->consoleSlots);
        if (assignIfChanged(stripStyles_, std::move(mix->styles))) emit stripStylesChanged();
        JsonDefaults::save(stripStyles_, QStringLiteral("stripStyles"), defaults);
    }

    setVolumes(store_.load());
    defaults.remove(QStringLiteral("cueOutputUID"));
    if (assignIfChanged(busPairings_, JsonDefaults::load<BusPairingMap>(QStringLiteral("busPairings"), defaults)
                                          .value_or(BusPairingMap{})))
        emit busPairingsChanged();
    JsonDefaults::save(busPairings_, QStringLiteral("busPairings"), defaults);
    loadConsoleSlots();
    setSnapshots(snapshotStore_.loadSnapshots());

    taps_.startWatchdog();
    processMonitor_->start();
    systemVolume_->start();
    deviceMonitor_->start();
    inputVolume_->start();
    inputDeviceMonitor_->start();
    cleanUpLeftoverMirrorAggregates();

    phonesBusVolume_->onChange = alive_.guard([this] {
        taps_.setPhonesBusGain(phonesBusVolume_->effectiveGain());
        companion_.sendAppList();
    });
    bluetooth_->refresh();
    if (remote_) {
        remote_->setListenerPairingPIN(remote_->pairingPIN());
        remote_->setListenerControlPassword(remote_->controlPassword());
    }
    systemVolume_->onVolumeChanged = alive_.guard([this] { companion_.scheduleAppListSend(); });
    inputVolume_->onVolumeChanged = alive_.guard([this] { companion_.scheduleAppListSend(); });

    deviceListener_ = std::make_unique<HALListener>(
        hal::kSystemObject, PropertyAddress{hal::kDefaultOutputDevice, hal::kScopeGlobal, hal::kElementMain},
        [this, w = alive_.weak()](std::uint32_t, const PropertyAddress*) {
            Scheduler::current().post([this, w] {
                if (w.lock()) taps_.restartMismatched();
            });
        });
    observeApps();
    observeDevices();
    taps_.rebuild();
    meters_.start();
    followRecordSource();
    if (assignIfChanged(isStarted_, true)) emit isStartedChanged();
}

void MixerEngine::shutdown() {
    isShutDown_ = true;
    taps_.close();
    // A change still waiting for its save would otherwise be lost with the process.
    volumesSave_.runNow();
    // The IO queues keep ramping towards full level while the main thread waits.
    if (taps_.raiseQuietTapsToFullLevel()) blockingWait_(kShutdownRampWait);
    taps_.clear();
    // A take still open is finished, so that its file is complete on disk.
    if (recorder_) recorder_->stopCapture();
}

void MixerEngine::postOncePerBurst(bool& pending, std::function<void()> work) {
    if (pending) return;
    pending = true;
    Scheduler::current().post(alive_.guard([&pending, work = std::move(work)] {
        pending = false;
        work();
    }));
}

void MixerEngine::observeApps() {
    connect(processMonitor_.get(), &AudioProcessMonitor::appsChanged, this,
            [this] { postOncePerBurst(appsRebuildPending_, [this] { taps_.rebuild(); }); });
}

void MixerEngine::observeDevices() {
    connect(deviceMonitor_.get(), &AudioDeviceMonitor::devicesChanged, this, [this] {
        postOncePerBurst(devicesChangePending_, [this] {
            scheduleBluetoothRefresh();
            taps_.restartMismatched();
        });
    });
}

void MixerEngine::scheduleBluetoothRefresh() {
    bluetooth_->refresh();
    bluetoothRefreshTask_.set(Scheduler::current().after(kBluetoothRefreshDelay, alive_.guard([this] {
        bluetoothRefreshTask_.clear();
        bluetooth_->refresh();
    })));
}

void MixerEngine::tapsRebuilt() {
    syncRouteVolumes();
    companion_.sendAppList();
}

// --- The remote link's codes and listener --------------------------------------------------------

void MixerEngine::regeneratePairingPIN() {
    if (!remote_) return;
    remote_->setListenerPairingPIN(remote_->regeneratePairingPIN());
    companion_.forget();
}

void MixerEngine::regenerateControlPassword() {
    if (!remote_) return;
    remote_->setListenerControlPassword(remote_->regenerateControlPassword());
}

void MixerEngine::restartOSCListener() {
    if (remote_) remote_->restartOSCListener();
}

// --- Observable fields -------------------------------------------------------------------------

void MixerEngine::setSnapshots(std::vector<MixSnapshot> snapshots) {
    if (assignIfChanged(snapshots_, std::move(snapshots))) emit snapshotsChanged();
}

}  // namespace quellor
