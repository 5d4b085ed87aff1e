#pragma once
// The one engine of the process: it keeps the mix (the per-application records, cue, panic and
// solo, the console slots, strip styles and bus pairings, recording) and is the glue between the
// collaborators that do the heavy work, each with its own state:
//
//   AudioProcessMonitor, AudioDeviceMonitor  the running applications; output and input devices
//   SystemVolumeController, PhonesBusVolumeController, DeviceVolumeController
//                                            output and input volume, the PHONES bus, and one
//                                            controller per explicitly used output device
//   BluetoothAudioMonitor                    paired Bluetooth devices
//   VolumeStore, SnapshotStore               the stored mix and snapshots
//   TapSet                                   the live taps (one ProcessTap per tapped application)
//                                            and their upkeep; asks the engine, its Host, what the
//                                            mix decides
//   CompanionFeeds                           the companion's contact and its feeds
//   MeterLevelClock                          the 30 Hz level clock and the strips' levels
//   RemoteLink, MainRecorder (not owned)     the remote-control side and the recorder
//
// Windows, views and remote control read its observable fields and call its operations; the
// collaborators are reached through the accessors below.
//
// Observable fields emit their change signal only when an assignment changes the value. The hooks
// that persist "stripStyles", "busPairings" and "autoRec" run on every assignment, equal or not.
//
// Threads: main thread only. Work that arrives on other threads (hardware listeners, remote
// callbacks) reaches the engine as posted main-thread calls that do nothing once it is gone.

#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <vector>

#include "audio/AudioApp.h"
#include "audio/AudioDevice.h"
#include "audio/BluetoothAudioDevice.h"
#include "base/Observable.h"
#include "base/Scheduler.h"
#include "engine/AppVolume.h"
#include "engine/BusLayout.h"
#include "engine/BusPairing.h"
#include "engine/CompanionFeeds.h"
#include "engine/ConsoleSlots.h"
#include "engine/MeterLevelClock.h"
#include "engine/MixSnapshot.h"
#include "engine/MixerAppState.h"
#include "engine/RemoteLink.h"
#include "engine/SnapshotStore.h"
#include "engine/StripStyle.h"
#include "engine/TapSet.h"
#include "engine/VolumeStore.h"

namespace quellor {

class AudioDeviceMonitor;
class AudioProcessMonitor;
class BluetoothAudioMonitor;
class BluetoothDevices;
class DeviceVolumeController;
class HALListener;
class MainRecorder;
class PhonesBusVolumeController;
class RunningApplications;
class SystemVolumeController;
class UserDefaults;
class VolumeControlling;
struct RouteID;

class MixerEngine : public QObject, private TapSet::Host {
    Q_OBJECT
public:
    using BusPairing = quellor::BusPairing;

    static constexpr int kSlotCount = kConsoleSlotCount;

    // The platform services the engine's monitors are built on, and the remote-control side. None
    // is owned; each must outlive the engine. Without `remote` the engine runs with no remote
    // control. `bluetoothRunner` runs the Bluetooth listing off the main thread (empty: the
    // application's thread pool).
    struct Platform {
        RunningApplications& runningApplications;
        BluetoothDevices& bluetoothDevices;
        std::function<void(std::function<void()>)> bluetoothRunner;
        RemoteLink* remote = nullptr;
        // Where the companion's feeds go on its host.
        quint16 companionPort = CompanionFeeds::kPort;
    };

    // Builds every owned object; starts nothing. `defaults` holds every setting the engine reads and
    // the mix it keeps; it must outlive the engine.
    MixerEngine(const Platform& platform, UserDefaults& defaults, QObject* parent = nullptr);
    ~MixerEngine() override;

    // The mix a start can take in place of the stored one.
    struct StartingMix {
        AppVolumeMap volumes;
        QStringList consoleSlots;  // used when it holds 8 or 16 entries, as a stored slot list is
        StripStyleMap styles;
    };

    // Loads the stored state, starts the monitors and listeners, hands the stored PIN and password
    // to the OSC listener and builds the first taps. A second call does nothing. With `mix` (the
    // settings were lost, and the application hands over the current setup's mix) the records,
    // slots and styles come from it and are stored at once, so that no blank mix is taken for the
    // user's.
    void start(std::optional<StartingMix> mix = std::nullopt);
    // Raises unmuted taps below 0.999 to full volume, waits 0.15 s when it raised any, then stops
    // and drops every tap. Afterwards nothing rebuilds or retries taps.
    void shutdown();
    // How shutdown blocks the main thread (seconds). Production sleeps; tests record or advance.
    void setBlockingWait(std::function<void(double)> wait) { blockingWait_ = std::move(wait); }

    // --- Owned collaborators ----------------------------------------------------------------
    AudioProcessMonitor& processMonitor() { return *processMonitor_; }
    SystemVolumeController& systemVolume() { return *systemVolume_; }
    PhonesBusVolumeController& phonesBusVolume() { return *phonesBusVolume_; }
    AudioDeviceMonitor& deviceMonitor() { return *deviceMonitor_; }
    SystemVolumeController& inputVolume() { return *inputVolume_; }
    AudioDeviceMonitor& inputDeviceMonitor() { return *inputDeviceMonitor_; }
    BluetoothAudioMonitor& bluetooth() { return *bluetooth_; }
    RemoteLink* remote() const { return remote_; }
    const VolumeStore& store() const { return store_; }
    const SnapshotStore& snapshotStore() const { return snapshotStore_; }
    TapSet& taps() { return taps_; }
    const TapSet& taps() const { return taps_; }
    CompanionFeeds& companion() { return companion_; }
    const CompanionFeeds& companion() const { return companion_; }
    MeterLevelClock& meters() { return meters_; }
    const MeterLevelClock& meters() const { return meters_; }

    // --- Observable state -------------------------------------------------------------------
    // The tap set's (isRetryingTaps, needsAudioCapturePermission), kept here for the windows.
    bool isRetryingTaps() const { return taps_.isRetrying(); }
    const StripStyleMap& stripStyles() const { return stripStyles_; }
    void setStripStyles(StripStyleMap styles);
    // Saves the strip styles and reports the mix change (also after an in-place edit).
    void saveStripStyles();
    const BusPairingMap& busPairings() const { return busPairings_; }
    const QStringList& consoleSlots() const { return slots_; }
    bool needsAudioCapturePermission() const { return taps_.needsAudioCapturePermission(); }
    bool isStarted() const { return isStarted_; }
    const AppVolumeMap& volumes() const override { return volumes_; }
    // Replaces the whole map (setups, start): no save, no tap is touched.
    void setVolumes(AppVolumeMap volumes);
    const std::vector<MixSnapshot>& snapshots() const { return snapshots_; }
    void setSnapshots(std::vector<MixSnapshot> snapshots);
    bool isAutoRec() const { return isAutoRec_; }
    // Stores "autoRec" on every assignment.
    void setAutoRec(bool on);
    bool isRecording() const { return isRecording_; }
    void setRecording(bool on);
    // The folder of the last recording started; handed to retention when a recording stops.
    const std::optional<QString>& recordingURL() const { return recordingURL_; }
    bool isPanicked() const { return isPanicked_; }
    const std::set<QString>& soloed() const { return soloed_; }

    // Called after strip styles, slots or per-application volumes were stored (setups capture).
    std::function<void()> onMixChanged;

    // --- Per-application mix ----------------------------------------------------------------
    AppVolume appVolume(const AudioApp& app) const;
    QStringList outputDeviceUIDs(const AudioApp& app) const;
    void setVolume(float value, const AudioApp& app);
    void toggleMute(const AudioApp& app);
    void applyAppVolume(const AppVolume& entry, const AudioApp& app);
    void setCueVolume(float value, const QString& bundleID);
    void setCue(bool on, const QString& bundleID);
    void addOutput(const AudioDevice& device, const AudioApp& app);
    void removeOutput(const QString& deviceUID, const AudioApp& app);
    void resetOutputs(const AudioApp& app);
    void resetToDefaults(const AudioApp& app);
    void setSlot(const QString& id, int index);
    bool isAnyAppCued() const override;
    // Saves "appVolumes" kSaveDelay after the last request, or kSaveLongestDelay after the first
    // one still waiting when requests keep coming, then reports the mix change (setups call it
    // after replacing the whole map). The setups save follows the report, so a change is on disk
    // in both files at most about two seconds after it was made.
    void scheduleSave();
    static constexpr double kSaveDelay = 0.4;
    static constexpr double kSaveLongestDelay = 1.5;

    // --- Outputs and PHONES bus -------------------------------------------------------------
    std::optional<AudioDevice> currentOutputDevice() const override;
    // Makes `device` the system's default output (MAIN) and sends the companion the application
    // list at once, so its rows follow the new device: what every view's device choice calls.
    void setDefaultOutput(const AudioDevice& device);
    std::optional<BusLayout> busLayout(const AudioDevice& device) const override;
    bool hasPhonesBus() const;
    VolumeControlling* activePhonesVolume() const;
    void setBusPairing(const BusPairing& pairing, const QString& deviceUID);
    void syncRouteVolumes();
    std::optional<QString> deviceName(const QString& uid) const;
    VolumeControlling* volumeControl(const QString& deviceUID) const;
    std::optional<BluetoothAudioDevice> bluetoothDevice(const AudioDevice& device) const;
    void connectBluetoothDevice(const BluetoothAudioDevice& device);
    std::optional<double> readOutputLatency(int bufferFrames) const;
    void writeTotalMixDefaultRouting();
    // Where the TotalMix routing goes: TotalMix's OSC port on this machine unless a test says
    // otherwise.
    void setTotalMixDestination(const QString& host, quint16 port) {
        totalMixHost_ = host;
        totalMixPort_ = port;
    }

    // --- Panic and solo -----------------------------------------------------------------------
    // Panicked, or another strip soloed: the application's tap plays silence.
    bool isSilenced(const QString& bundleID) const override;
    void setPanic(bool on);
    void applySolo(bool on, const QString& stripID);
    // True while every playing application gets a tap and no tap is dropped for being at defaults:
    // something is soloed, cued, panicked, recording or auto-recording, or the output has PHONES.
    bool needsFullCoverage() const override;

    // --- Route actions -----------------------------------------------------------------------
    // A control value (0...1) for a route id: MIDI controls, numbered OSC controls and the strip
    // fader command. "cue:" ids are buttons (a press at 0.5 or above toggles), "transport:record"
    // does nothing, bus and device ids set those volumes; an application id sets its volume (its
    // cue level while it is cued), and one that is not running is remembered for later.
    void performRouteAction(const QString& routeID, float value);
    // An OSC volume message: like the route action for buses and devices; an application's volume
    // even while cued, and one that is not running only when the mix already has its record.
    void setRouteVolume(const QString& routeID, float value);
    // Strip buttons by route id. Mute: a running application's mute, or the PHONES bus's; cue: a
    // running application's cue (switched on only with a PHONES pair; a stale cue of an application
    // that has gone is cleared); solo: a running application's solo.
    void toggleRouteMute(const QString& routeID);
    void toggleRouteCue(const QString& routeID);
    void toggleRouteSolo(const QString& routeID);

    // --- Recording the MAIN mix ---------------------------------------------------------------
    // Installs the recorder (not owned; it and its lane must outlive the engine and every tap).
    // Every tap built from now on adds its MAIN share into the recorder's lane; live taps too. The
    // recorder's stop request (a take at its size ceiling) stops this engine's recording, and does
    // nothing once the engine is gone.
    void setRecorder(MainRecorder* recorder);
    MainRecorder* recorder() const { return recorder_; }
    // Starts a recording: capture at the MAIN device's rate when none runs, a new take, then every
    // playing application gets a tap. Nothing while one runs or without a recorder.
    void startRecording();
    // Stops the recording: closes the take, stops capture unless auto-record is on, prunes the
    // recordings folder, releases taps no longer needed. Nothing while none runs.
    void stopRecording();
    void toggleRecording();
    // Auto-record, run by every meter tick: starts capture as soon as the switch is on and an output
    // device exists, then lets the recorder open and close takes by the MAIN mix's signal.
    void checkAutoRecording();
    // Whether taps record before their fader (the user default "recordPreFader").
    bool recordsPreFader() const override;
    // "minLatencyMode" and "ioBufferFrames", read when a tap is built.
    ProcessTap::DeviceSettings tapDeviceSettings() const override;

    // --- Remote control and the companion -----------------------------------------------------
    // A new pairing PIN (the companion is forgotten) or control password, handed to the listener.
    void regeneratePairingPIN();
    void regenerateControlPassword();
    // Follows the companion settings: the OSC listener stops when "oscEnabled" is off, otherwise
    // it (re)starts on "oscPort".
    void restartOSCListener();
    // The application list as the companion gets it.
    MixerAppState appState() const;

signals:
    void isRetryingTapsChanged();
    void stripStylesChanged();
    void busPairingsChanged();
    void slotsChanged();
    void needsAudioCapturePermissionChanged();
    void isStartedChanged();
    void volumesChanged();
    void snapshotsChanged();
    void isAutoRecChanged();
    void isRecordingChanged();
    void recordingURLChanged();
    void isPanickedChanged();
    void soloedChanged();

private:
    // core
    void observeApps();
    void observeDevices();
    // Runs `work` once on the next turn of the main thread, however often this is called before it
    // runs: one pass per burst of changes covers them all. `pending` belongs to the caller.
    void postOncePerBurst(bool& pending, std::function<void()> work);
    void scheduleBluetoothRefresh();
    void loadConsoleSlots();
    // What the tap set asks of the mix (the rest of TapSet::Host is public above).
    float phonesBusGain() const override;
    MixSink* mainLane() const override;
    void tapsRebuilt() override;
    // recording
    void followRecordSource();
    void startAutoRecording();
    double mainDeviceRate() const;
    void applyRecordSource();
    // mix state
    void storeEntry(const QString& bundleID, const AppVolume& entry);
    void saveVolumesNow();
    void reroute(const AudioApp& app, const AppVolume& entry);
    void commitOutputsEdit(const AudioApp& app, const AppVolume& entry);
    // The running application that a bundle identifier's tap follows: of two running copies, the
    // one with the lowest process id.
    std::optional<AudioApp> tapTarget(const QString& bundleID) const;
    // outputs
    void routeToBluetoothDevice(const BluetoothAudioDevice& device);
    void bluetoothRoutingAttempt(QString bluetoothID, int attempt);
    void totalMixSendStep(std::vector<RemoteLink::TotalMixCommand> commands, std::size_t index);
    // route actions
    std::optional<AudioApp> runningApp(const QString& bundleID) const;
    // Sets the volume of a bus or device route; false when the route is none of those.
    bool setControllerVolume(const RouteID& route, float value);
    void storeVolumeOfAbsentApp(const QString& bundleID, AppVolume entry, float value);

    UserDefaults& defaults_;
    std::unique_ptr<AudioProcessMonitor> processMonitor_;
    std::unique_ptr<SystemVolumeController> systemVolume_;
    std::unique_ptr<PhonesBusVolumeController> phonesBusVolume_;
    std::unique_ptr<AudioDeviceMonitor> deviceMonitor_;
    std::unique_ptr<SystemVolumeController> inputVolume_;
    std::unique_ptr<AudioDeviceMonitor> inputDeviceMonitor_;
    std::unique_ptr<BluetoothAudioMonitor> bluetooth_;
    RemoteLink* remote_ = nullptr;
    StripStyleMap stripStyles_;
    BusPairingMap busPairings_;
    QStringList slots_;
    bool isStarted_ = false;
    bool isShutDown_ = false;
    AppVolumeMap volumes_;
    TapSet taps_;
    std::map<QString, std::unique_ptr<DeviceVolumeController>> routeVolumes_;
    VolumeStore store_;
    SnapshotStore snapshotStore_;
    std::unique_ptr<HALListener> deviceListener_;
    Debouncer volumesSave_{kSaveDelay, kSaveLongestDelay};
    TaskSlot routingTask_;
    TaskSlot bluetoothRefreshTask_;
    TaskSlot totalMixWriteTask_;
    std::vector<MixSnapshot> snapshots_;
    bool isAutoRec_ = false;
    bool isRecording_ = false;
    MainRecorder* recorder_ = nullptr;
    std::optional<QString> recordingURL_;
    bool isPanicked_ = false;
    std::set<QString> soloed_;
    CompanionFeeds companion_;
    MeterLevelClock meters_;
    QString totalMixHost_ = QStringLiteral("127.0.0.1");
    quint16 totalMixPort_ = 7001;
    bool appsRebuildPending_ = false;
    bool devicesChangePending_ = false;
    std::function<void(double)> blockingWait_;
    Liveness alive_;
};

}  // namespace quellor
