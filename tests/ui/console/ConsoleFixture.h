#pragma once
// The console's logic on a simulated world: a four-channel interface (MAIN and PHONES pairs) as
// the default output, a stereo speaker pair, a microphone as the default input, and two running
// applications, with the engine started.
#include "EngineFixture.h"
#include "audio/PhonesBusVolumeController.h"
#include "audio/SystemVolumeController.h"
#include "ui/console/StripModelBuilder.h"

namespace quellor::test {

class ConsoleFixture : public EngineFixture {
protected:
    void SetUp() override {
        interface = addOutputDevice("USB-4", 4);
        speakers = addOutputDevice("SPK", 2);
        SimulatedDevice mic;
        mic.uid = mic.name = "MIC";
        mic.input.streams = StreamConfiguration{{1}};
        mic.input.virtualMainVolume = SimulatedDevice::Volume{};
        microphone = hardware.addDevice(mic);
        hardware.setDefaultOutputDevice(interface);
        hardware.setDefaultInputDevice(microphone);
        playerProcess = addApp(101, kPlayer);
        radioProcess = addApp(102, kRadio);
        startEngine();
    }

    StripModelBuilder builder() { return StripModelBuilder(engine(), defaults()); }
    StripModel model(const QString& id) { return builder().model(id); }
    // The fader level of an application as its strip shows it.
    float level(const QString& id) { return builder().stripModel(id).volume; }
    void setStyle(const QString& id, StripStyle style) {
        StripStyleMap styles = engine().stripStyles();
        styles[id] = std::move(style);
        engine().setStripStyles(styles);
    }

    AudioObjectID interface = 0;
    AudioObjectID speakers = 0;
    AudioObjectID microphone = 0;
    AudioObjectID playerProcess = 0;
    AudioObjectID radioProcess = 0;
};

}  // namespace quellor::test
