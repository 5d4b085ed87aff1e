// Construction, start, shutdown, observation of the application and device lists, and the
// hardware listeners (default output, per-device sample rate).

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

const Logger log("MixerEngine");
constexpr double kBluetoothRefreshDelay = 2.0;
constexpr double kShutdownRampWait = 0.15;

}  // namespace

MixerEngine::MixerEngine(const Platform& platform, UserDefaults& defaults, QObject* parent)
    : QObject(parent),
      defaults_(defaults),
      processMonitor_(std::make_unique<AudioProcessMonitor>(platform.runningApplications)),
      systemVolume_(std::make_unique<SystemVolumeController>(AudioDirection::output)),
      phonesBusVolume_(std::make_unique<PhonesBusVolumeController>()),
      deviceMonitor_(std::make_unique<AudioDeviceMonitor>(AudioDirection::output)),
      inputVolume_(std::make_unique<SystemVolumeController>(AudioDirection::input)),
      inputDeviceMonitor_(std::make_unique<AudioDeviceMonitor>(AudioDirection::input)),
      bluetooth_(std::make_unique<BluetoothAudioMonitor>(
          platform.bluetoothDevices,
          platform.bluetoothRunner ? platform.bluetoothRunner : BluetoothAudioMonitor::threadPool())),
      remote_(platform.remote),
      stripStyles_(JsonDefaults::load<StripStyleMap>(QStringLiteral("stripStyles"), defaults).value_or(StripStyleMap{})),
      store_(defaults),
      snapshotStore_(defaults),
      blockingWait_([](double seconds) {
          std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
      }) {}

MixerEngine::~MixerEngine() = default;

void MixerEngine::start() {
    if (isStarted_) return;
    UserDefaults& defaults = defaults_;

    setVolumes(store_.load());
    defaults.remove(QStringLiteral("cueOutputUID"));
    if (assignIfChanged(busPairings_, JsonDefaults::load<BusPairingMap>(QStringLiteral("busPairings"), defaults)
                                          .value_or(BusPairingMap{})))
        emit busPairingsChanged();
    JsonDefaults::save(busPairings_, QStringLiteral("busPairings"), defaults);
    loadConsoleSlots();
    setSnapshots(snapshotStore_.loadSnapshots());

    startWatchdog();
    processMonitor_->start();
    systemVolume_->start();
    deviceMonitor_->start();
    inputVolume_->start();
    inputDeviceMonitor_->start();
    cleanUpLeftoverMirrorAggregates();

    phonesBusVolume_->onChange = alive_.guard([this] {
        const float gain = phonesBusVolume_->effectiveGain();
        for (auto& [bundleID, tap] : taps_) tap->setPhonesBusGain(gain);
        sendAppList();
    });
    bluetooth_->refresh();
    if (remote_) {
        remote_->setListenerPairingPIN(remote_->pairingPIN());
        remote_->setListenerControlPassword(remote_->controlPassword());
    }
    connectOSCCallbacks();
    systemVolume_->onVolumeChanged = alive_.guard([this] { scheduleAppListSend(); });
    inputVolume_->onVolumeChanged = alive_.guard([this] { scheduleAppListSend(); });

    deviceListener_ = std::make_unique<HALListener>(
        hal::kSystemObject, PropertyAddress{hal::kDefaultOutputDevice, hal::kScopeGlobal, hal::kElementMain},
        [this, w = alive_.weak()](std::uint32_t, const PropertyAddress*) {
            Scheduler::current().post([this, w] {
                if (w.lock()) restartMismatchedTaps();
            });
        });
    observeApps();
    observeDevices();
    rebuildTaps();
    startMeterTimer();
    followRecordSource();
    if (assignIfChanged(isStarted_, true)) emit isStartedChanged();
}

void MixerEngine::shutdown() {
    isShutDown_ = true;
    // No retry runs any more, so the flag the windows read says so.
    retryTask_.cancel();
    setRetryingTaps(false);
    coverageDropTask_.cancel();
    // A fader move of the last 0.4 s would otherwise be lost with the process.
    if (saveTask_.pending()) {
        saveTask_.cancel();
        saveVolumesNow();
        if (onMixChanged) onMixChanged();
    }
    bool raised = false;
    for (auto& [bundleID, tap] : taps_) {
        if (!tap->isMuted() && tap->volume() < 0.999f) {
            tap->setVolume(1.0f);
            raised = true;
        }
    }
    // The IO queues keep ramping towards full level while the main thread waits.
    if (raised) blockingWait_(kShutdownRampWait);
    stopAndClearTaps();
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
            [this] { postOncePerBurst(appsRebuildPending_, [this] { rebuildTaps(); }); });
}

void MixerEngine::observeDevices() {
    connect(deviceMonitor_.get(), &AudioDeviceMonitor::devicesChanged, this, [this] {
        postOncePerBurst(devicesChangePending_, [this] {
            scheduleBluetoothRefresh();
            restartMismatchedTaps();
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

void MixerEngine::installRateListeners() {
    std::set<std::uint32_t> inUse;
    for (const auto& [bundleID, tap] : taps_)
        for (const ProcessTap::Output& output : tap->activatedOutputs()) inUse.insert(output.id);
    for (auto it = rateListeners_.begin(); it != rateListeners_.end();) {
        if (inUse.count(it->first)) ++it;
        else it = rateListeners_.erase(it);
    }
    for (std::uint32_t id : inUse) {
        if (rateListeners_.count(id)) continue;
        rateListeners_[id] = std::make_unique<HALListener>(
            id, PropertyAddress{hal::kNominalSampleRate, hal::kScopeGlobal, hal::kElementMain},
            [this, id, w = alive_.weak()](std::uint32_t, const PropertyAddress*) {
                Scheduler::current().post([this, id, w] {
                    if (!w.lock()) return;
                    log.notice("Nominal sample rate changed on device %u — reconciling taps", id);
                    restartMismatchedTaps();
                });
            });
    }
}

std::vector<std::uint32_t> MixerEngine::rateListenerDevices() const {
    std::vector<std::uint32_t> ids;
    for (const auto& [id, listener] : rateListeners_) ids.push_back(id);
    return ids;
}

void MixerEngine::connectOSCCallbacks() {
    if (!remote_) return;
    RemoteLink::OSCHandlers h;
    h.appVolume = alive_.guard([this](const QString& id, float value) { setRouteVolume(id, value); });
    h.cue = alive_.guard([this](const QString& bundleID, bool on) { setCue(on, bundleID); });
    h.cueVolume = alive_.guard([this](const QString& bundleID, float value) { setCueVolume(value, bundleID); });
    h.slot = alive_.guard([this](int index, const QString& id) { setSlot(id, index); });
    h.panic = alive_.guard([this](bool on) { setPanic(on); });
    h.record = alive_.guard([this](bool on) {
        if (on) startRecording();
        else stopRecording();
    });
    h.autoRec = alive_.guard([this](bool on) { setAutoRec(on); });
    // Snapshot messages are accepted and change nothing.
    h.snapshot = [](int) {};
    h.snapshotSave = [] {};
    remote_->setOSCHandlers(std::move(h));
    // Commands, numbered controls (through the MIDI mapping table), the companion's contact and
    // MIDI control changes carry remote types: the link wires them to the engine.
    remote_->connectEngine(*this);
}

// --- Observable fields -------------------------------------------------------------------------

void MixerEngine::setNeedsAudioCapturePermission(bool value) {
    if (assignIfChanged(needsAudioCapturePermission_, value)) emit needsAudioCapturePermissionChanged();
}

void MixerEngine::setRetryingTaps(bool value) {
    if (assignIfChanged(isRetryingTaps_, value)) emit isRetryingTapsChanged();
}

void MixerEngine::setSnapshots(std::vector<MixSnapshot> snapshots) {
    if (assignIfChanged(snapshots_, std::move(snapshots))) emit snapshotsChanged();
}

void MixerEngine::setMeterLevels(std::map<QString, float> levels) {
    if (assignIfChanged(meterLevels_, std::move(levels))) emit meterLevelsChanged();
}

}  // namespace quellor
