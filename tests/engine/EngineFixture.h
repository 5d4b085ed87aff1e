#pragma once
// A simulated world for the engine: hardware with devices and playing processes, the running
// applications behind them, paired Bluetooth devices and a recording remote link, all in virtual
// time. The engine is created on demand so that a test can seed the user defaults first.
#include <QStringList>
#include <memory>
#include <vector>

#include "FakeRemoteLink.h"
#include "TestEnvironment.h"
#include "audio/AudioDeviceMonitor.h"
#include "audio/AudioProcessMonitor.h"
#include "engine/MixerEngine.h"
#include "platform/SimulatedBluetooth.h"
#include "platform/SimulatedHardware.h"
#include "platform/SimulatedRunningApplications.h"

namespace quellor::test {

// The applications the engine scenarios add to the world.
inline const QString kPlayer = "com.example.player";
inline const QString kRadio = "com.example.radio";

class EngineFixture : public QuellorTest {
protected:
    EngineFixture();
    ~EngineFixture() override;

    // A device with `channels` output channels (and none in) at `rate`.
    AudioObjectID addOutputDevice(const QString& uid, int channels, double rate = 48000.0,
                                  std::uint32_t transport = hal::kTransportUSB);
    // A running application with one process object; returns the process object.
    AudioObjectID addApp(std::int32_t pid, const QString& bundleID, bool playing = true);
    void quitApp(std::int32_t pid, AudioObjectID process);

    MixerEngine& engine();  // created on first use
    void startEngine();
    // Lets the monitors and the engine catch up with a change of the world.
    void settle() { advance(0.2); }

    AudioApp app(const QString& bundleID);
    ProcessTap* tap(const QString& bundleID);
    // The aggregate device of an application's live tap (0 when it has none). Object ids are never
    // handed out twice, so unlike the tap's address it tells a kept tap from its replacement.
    AudioObjectID tapAggregate(const QString& bundleID);
    QStringList tappedApps();

    SimulatedHardware hardware;
    SimulatedRunningApplications running;
    SimulatedBluetooth bluetooth;
    FakeRemoteLink remote;
    std::vector<double> waits;  // what shutdown blocked for

private:
    std::unique_ptr<MixerEngine> engine_;
};

}  // namespace quellor::test
