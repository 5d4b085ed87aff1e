#pragma once
// A test with a fresh SimulatedHardware installed as the AudioHardware (on top of the virtual
// scheduler and in-memory defaults of QuellorTest), and a small device maker.

#include "TestEnvironment.h"
#include "platform/SimulatedHardware.h"

namespace quellor::test {

class SimulatedHardwareTest : public QuellorTest {
protected:
    SimulatedHardwareTest() { AudioHardware::install(&hw); }
    ~SimulatedHardwareTest() override { AudioHardware::install(nullptr); }

    // A device with the given output and input channel counts (one stream each), volume and mute.
    static SimulatedDevice device(const QString& uid, std::uint32_t outputs, std::uint32_t inputs = 0) {
        SimulatedDevice d;
        d.uid = uid;
        d.name = uid + " name";
        for (auto [scope, channels] : {std::pair{&d.output, outputs}, std::pair{&d.input, inputs}}) {
            if (channels == 0) continue;
            scope->streams.channelsPerBuffer = {channels};
            scope->virtualMainVolume = SimulatedDevice::Volume{0.5f, true};
            scope->mute = SimulatedDevice::Mute{false, true};
        }
        return d;
    }

    SimulatedHardware hw;
};

}  // namespace quellor::test
