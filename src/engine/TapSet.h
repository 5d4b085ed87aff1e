#pragma once
// The live taps, one per tapped application (keyed by bundle identifier), and what keeps them in
// step with the world: building one tap from an application's mix record, rebuilding the set when
// the applications, the devices or a device's sample rate change, the watchdog that replaces a tap
// that never renders, the capture-permission retry and the release of taps that are no longer
// needed. What the mix decides (the records, the bus layouts, silencing, whether every playing
// application needs a tap, the recorder's lane) the set asks its Host, the engine.
//
// Observable fields (isRetrying, needsAudioCapturePermission) emit their change signal only when an
// assignment changes the value.
//
// Threads: main thread only. The taps' render side runs on the IO threads (see ProcessTap); the
// hardware listeners reach the set as posted main-thread calls that do nothing once it is gone.

#include <QObject>
#include <QString>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "audio/AudioApp.h"
#include "audio/AudioDevice.h"
#include "base/Scheduler.h"
#include "engine/AppVolume.h"
#include "engine/BusLayout.h"
#include "engine/ProcessTap.h"

namespace quellor {

class AudioDeviceMonitor;
class AudioProcessMonitor;
class HALListener;
class MixSink;

class TapSet : public QObject {
    Q_OBJECT
public:
    using Map = std::map<QString, std::shared_ptr<ProcessTap>>;

    // What the set needs to know of the mix. Called on the main thread, from within the set's own
    // operations.
    class Host {
    public:
        virtual ~Host() = default;
        // The per-application mix records, by bundle identifier.
        virtual const AppVolumeMap& volumes() const = 0;
        // Every playing application gets a tap, and none is released for being at its defaults.
        virtual bool needsFullCoverage() const = 0;
        // The application's tap plays silence (panic, or another strip soloed).
        virtual bool isSilenced(const QString& bundleID) const = 0;
        virtual bool isAnyAppCued() const = 0;
        // Where the MAIN and PHONES pairs lie on a device, when it has both.
        virtual std::optional<BusLayout> busLayout(const AudioDevice& device) const = 0;
        // The MAIN device: the default output.
        virtual std::optional<AudioDevice> currentOutputDevice() const = 0;
        virtual float phonesBusGain() const = 0;
        // The recorder's MAIN lane, or null without a recorder.
        virtual MixSink* mainLane() const = 0;
        virtual bool recordsPreFader() const = 0;
        // How new taps make their aggregate devices ("minLatencyMode", "ioBufferFrames").
        virtual ProcessTap::DeviceSettings tapDeviceSettings() const = 0;
        // A rebuild has brought the set in step; what follows the set (device volume controllers,
        // the companion's application list) follows it now.
        virtual void tapsRebuilt() = 0;
    };

    // The monitors and the host must outlive the set.
    TapSet(Host& host, const AudioProcessMonitor& processes, const AudioDeviceMonitor& devices);
    ~TapSet() override;

    const Map& live() const { return taps_; }
    // The live tap of an application, or null.
    ProcessTap* find(const QString& bundleID) const;
    int count() const { return int(taps_.size()); }
    // Devices with a sample-rate listener: the outputs of the live taps.
    std::vector<std::uint32_t> rateListenerDevices() const;

    bool isRetrying() const { return isRetrying_; }
    bool needsAudioCapturePermission() const { return needsAudioCapturePermission_; }

    // Builds and starts the application's tap from its record, replacing a live one. A tap that
    // cannot start marks the capture permission as needed and starts the retry.
    void build(const AudioApp& app, const AppVolume& entry);
    // Stops and drops one tap, or every tap.
    void remove(const QString& bundleID);
    void clear();
    // Drops the taps of applications that are gone or whose process objects changed, then taps
    // every running application that has a record away from its defaults, and every playing one
    // while the host needs full coverage. One tap per bundle identifier, for every running copy.
    void rebuild();
    // The running applications by bundle identifier, every copy of one taken together: the lowest
    // process id and its name, the process objects of all copies (ascending), playing or recording
    // when one copy does.
    static std::map<QString, AudioApp> applications(const std::vector<AudioApp>& apps);
    // Restarts the taps whose outputs no longer resolve the same, whose aggregate died or whose
    // device changed its sample rate, then rebuilds.
    void restartMismatched();
    void restartAll();
    // Restarts the taps that play on the device (a tap takes its bus layout when it starts).
    void restartOn(const QString& deviceUID);
    // Every 2 s: a tap that has not rendered on two passes running while its process plays is
    // replaced.
    void startWatchdog();

    // Releases the taps whose applications are back at their defaults, 0.3 s after the last
    // request, unless the host then needs full coverage.
    void scheduleCoverageDrop();
    void cancelCoverageDrop();
    // Puts every live tap in the PHONES mode the cues call for; once nothing is cued, schedules
    // the coverage drop.
    void applyCueModes();
    // What every live tap takes from the host when it changes.
    void updateSilencing();
    void setPhonesBusGain(float gain);
    void setMainLane(MixSink* lane);
    void setRecordPre(bool pre);

    // Shutting down: from now on nothing rebuilds, retries or releases taps.
    void close();
    // Raises unmuted taps below 0.999 to full level; true when it raised any.
    bool raiseQuietTapsToFullLevel();

signals:
    void isRetryingChanged();
    void needsAudioCapturePermissionChanged();

private:
    // Throws HALError when the default output cannot be read.
    std::vector<ProcessTap::Output> resolveOutputs(const AppVolume& entry) const;
    AppVolume entryOf(const QString& bundleID) const;
    // Whether a tap on these outputs plays on the MAIN device (its clock output is the default
    // output) and so belongs in the MAIN recording and meter.
    bool playsOnMain(const std::vector<ProcessTap::Output>& outputs) const;
    // Follows a change of the MAIN device on every live tap, kept ones included.
    void updateRecordsToMain();
    void installRateListeners();
    bool sampleRateChanged(const ProcessTap& tap) const;
    void watchdogPass();
    void schedulePermissionRetry();
    void permissionRetryAttempt(int attempt);
    void setRetrying(bool value);
    void setNeedsAudioCapturePermission(bool value);

    Host& host_;
    const AudioProcessMonitor& processes_;
    const AudioDeviceMonitor& devices_;
    Map taps_;
    std::map<std::uint32_t, std::unique_ptr<HALListener>> rateListeners_;
    bool isRetrying_ = false;
    bool needsAudioCapturePermission_ = false;
    bool isClosed_ = false;
    TaskSlot watchdogTimer_;
    TaskSlot retryTask_;
    TaskSlot coverageDropTask_;
    // Watchdog: consecutive silent passes per tap object. The weak reference tells a live tap
    // from a new one that happens to sit at the address of a freed one.
    struct SilentCount {
        std::weak_ptr<ProcessTap> tap;
        int passes = 0;
    };
    std::map<const ProcessTap*, SilentCount> silentPasses_;
    Liveness alive_;
};

}  // namespace quellor
