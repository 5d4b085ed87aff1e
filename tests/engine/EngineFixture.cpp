#include "EngineFixture.h"

#include <chrono>

#include "audio/VolumeWriteQueue.h"
#include "platform/StreamConfiguration.h"

namespace quellor::test {

EngineFixture::EngineFixture() {
    AudioHardware::install(&hardware);
    Logger::setStderrEnabled(false);
    // IO cycles run in virtual time, so taps render as the tests advance.
    hardware.io().startVirtualDriver(512);
}

EngineFixture::~EngineFixture() {
    engine_.reset();
    // Volume writes run on threads of their own, write to this hardware and report back through
    // this test's scheduler: they are over before either goes.
    using namespace std::chrono_literals;
    EXPECT_TRUE(VolumeWriteQueue::shared().waitUntilIdle(5s));
    EXPECT_TRUE(VolumeWriteQueue::system().waitUntilIdle(5s));
    hardware.io().stopDrivers();
    scheduler().runPending();
    AudioHardware::install(nullptr);
    Logger::setStderrEnabled(true);
}

AudioObjectID EngineFixture::addOutputDevice(const QString& uid, int channels, double rate, std::uint32_t transport) {
    SimulatedDevice device;
    device.uid = uid;
    device.name = uid;
    device.transport = transport;
    device.output.streams = StreamConfiguration{{std::uint32_t(channels)}};
    device.output.virtualMainVolume = SimulatedDevice::Volume{};
    device.output.volumeScalar = SimulatedDevice::Volume{};
    device.output.mute = SimulatedDevice::Mute{};
    device.sampleRate = rate;
    return hardware.addDevice(device);
}

AudioObjectID EngineFixture::addApp(std::int32_t pid, const QString& bundleID, bool playing) {
    RunningApplication app;
    app.processIdentifier = pid;
    app.bundleIdentifier = bundleID;
    app.localizedName = bundleID;
    app.activationPolicy = ActivationPolicy::Regular;
    running.launch(app);
    SimulatedProcess process;
    process.pid = pid;
    process.bundleID = bundleID;
    process.name = bundleID;
    process.runningOutput = playing;
    return hardware.addProcess(process);
}

void EngineFixture::quitApp(std::int32_t pid, AudioObjectID process) {
    hardware.removeProcess(process);
    running.quit(pid);
}

MixerEngine& EngineFixture::engine() {
    if (!engine_) {
        engine_ = std::make_unique<MixerEngine>(MixerEngine::Platform{
            running, bluetooth, [](std::function<void()> job) { job(); }, &remote}, defaults());
        engine_->setBlockingWait([this](double seconds) { waits.push_back(seconds); });
    }
    return *engine_;
}

void EngineFixture::startEngine() {
    engine().start();
    settle();
}

AudioApp EngineFixture::app(const QString& bundleID) {
    for (const AudioApp& a : engine().processMonitor().apps())
        if (a.bundleID == bundleID) return a;
    ADD_FAILURE() << "no running application " << qPrintable(bundleID);
    return {};
}

ProcessTap* EngineFixture::tap(const QString& bundleID) {
    return engine().taps().find(bundleID);
}

AudioObjectID EngineFixture::tapAggregate(const QString& bundleID) {
    ProcessTap* t = tap(bundleID);
    return t ? t->aggregateID() : 0;
}

QStringList EngineFixture::tappedApps() {
    QStringList ids;
    for (const auto& [id, t] : engine().taps().live()) ids.append(id);
    return ids;
}

}  // namespace quellor::test
