// A simulated world file (QUELLOR_WORLD) as the application starts on it: decoded, populated into
// the simulated hardware, the running applications and the paired Bluetooth devices, and played:
// the applications straight on their devices, and through a tap of every process and a private
// aggregate over the default output device, as the engine builds one. A world that decodes is
// written back to the same world; one that does not says why.
#include "FuzzSupport.h"
#include "platform/SimulatedBluetooth.h"
#include "platform/SimulatedHardware.h"
#include "platform/SimulatedIO.h"
#include "platform/SimulatedRunningApplications.h"
#include "platform/SimulatedWorld.h"

using namespace quellor;

namespace {

// A tap of every process and an aggregate over `device` that plays it, started.
void startTappedAggregate(SimulatedHardware& hardware, AudioObjectID device) {
    TapDescription tap;
    tap.processes = hardware.processIDs();
    tap.uuid = QStringLiteral("fuzz-tap");
    tap.muteBehavior = TapDescription::MuteBehavior::mutedWhenTapped;
    AudioObjectID tapID = 0;
    if (hardware.createProcessTap(tap, tapID) != hal::kStatusOK) return;
    const auto uid = hardware.property(device, {hal::kDeviceUID});
    if (!uid) return;
    const QString deviceUID = std::get<QString>(*uid);
    const QVariantMap description{
        {"name", QStringLiteral("Quellor aggregate")},
        {"uid", QStringLiteral("fuzz-aggregate")},
        {"master", deviceUID},
        {"clock", deviceUID},
        {"private", true},
        {"tapautostart", true},
        {"subdevices", QVariantList{QVariantMap{{"uid", deviceUID}, {"drift", false}}}},
        {"taps", QVariantList{QVariantMap{{"uid", tap.uuid}, {"drift", true}}}},
    };
    AudioObjectID aggregate = 0;
    if (hardware.createAggregateDevice(description, aggregate) != hal::kStatusOK) return;
    IOProcID proc = 0;
    hardware.createIOProc(aggregate,
                          [](const AudioTimeStamp&, const IOBufferList& in, const AudioTimeStamp&,
                             const IOBufferList& out, const AudioTimeStamp&) {
                              // The tap's first channel on every output channel.
                              const IOBuffer* tap = in.last();
                              const bool tapped = tap && tap->data && tap->channels;
                              const std::size_t tapFrames = tapped ? tap->sampleCount() / tap->channels : 0;
                              for (const IOBuffer& b : out) {
                                  if (!b.data || !b.channels) continue;
                                  const std::size_t frames = b.sampleCount() / b.channels;
                                  for (std::size_t f = 0; f < frames; ++f)
                                      for (std::uint32_t c = 0; c < b.channels; ++c)
                                          b.samples()[f * b.channels + c] =
                                              f < tapFrames ? tap->samples()[f * tap->channels] : 0.0f;
                              }
                          },
                          proc);
    hardware.startDevice(aggregate, proc);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    QString error;
    const auto world = SimulatedWorld::fromJson(fuzz::bytes(data, size), error);
    if (!world) {
        FUZZ_CHECK(!error.isEmpty());
        return 0;
    }
    QString again;
    FUZZ_CHECK(SimulatedWorld::fromJson(world->toJson(), again) == world);

    SimulatedHardware hardware;
    world->populate(hardware);
    FUZZ_CHECK(hardware.deviceIDs().size() == world->devices.size());
    SimulatedRunningApplications running;
    running.populate(*world);
    {
        SimulatedBluetooth bluetooth;
        bluetooth.populate(*world, hardware);
        // The first cycle of the application's driver, before and after the engine taps.
        hardware.io().advance(256);
        if (const AudioObjectID output = hardware.defaultOutputDevice()) startTappedAggregate(hardware, output);
        hardware.io().advance(256);
    }
    fuzz::settle();
    return 0;
}
