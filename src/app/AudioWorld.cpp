#include "app/AudioWorld.h"

#include "platform/PipeWireHardware.h"
#include "platform/ProcRunningApplications.h"

namespace quellor {

std::unique_ptr<PipeWireHardware> AudioWorld::connectPipeWire() {
    auto hardware = std::make_unique<PipeWireHardware>();
    if (!hardware->start()) return nullptr;
    return hardware;
}

std::unique_ptr<AudioWorld> AudioWorld::open(const QString& worldPath, const Logger& log,
                                             const PipeWireConnector& connect) {
    std::unique_ptr<AudioWorld> world(new AudioWorld);
    if (!worldPath.isEmpty()) {
        QString error;
        world->world_ = SimulatedWorld::load(worldPath, error);
        if (!world->world_) {
            log.error("Cannot use the simulated world in QUELLOR_WORLD: %s", qPrintable(error));
            return nullptr;
        }
        world->kind_ = Kind::simulatedFile;
        log.notice("Audio: the simulated world in QUELLOR_WORLD (%s)", qPrintable(worldPath));
    } else if (auto pipeWire = connect ? connect() : nullptr) {
        world->kind_ = Kind::pipeWire;
        world->pipeWire_ = std::move(pipeWire);
        world->running_ = std::make_unique<ProcRunningApplications>();
        log.notice("Audio: the PipeWire server");
        return world;
    } else {
        world->world_ = SimulatedWorld::builtIn();
        world->kind_ = Kind::simulatedBuiltIn;
        log.notice("Audio: the built-in simulated world, since no PipeWire server answered and QUELLOR_WORLD "
                   "names no world file");
    }
    world->simulated_ = std::make_unique<SimulatedHardware>();
    world->running_ = std::make_unique<SimulatedRunningApplications>();
    return world;
}

AudioWorld::~AudioWorld() { stop(); }

AudioHardware& AudioWorld::hardware() {
    if (pipeWire_) return *pipeWire_;
    return *simulated_;
}

RunningApplications& AudioWorld::runningApplications() { return *running_; }

BluetoothDevices& AudioWorld::bluetooth() { return bluetooth_; }

void AudioWorld::populate() {
    if (!simulated_) return;
    world_->populate(*simulated_);
    static_cast<SimulatedRunningApplications&>(*running_).populate(*world_);
    bluetooth_.populate(*world_, *simulated_);
    // The simulated devices play in real time, in cycles of 256 frames at 48 kHz.
    simulated_->io().startRealTimeDriver(256, 48000.0);
}

void AudioWorld::stop() {
    if (simulated_) simulated_->io().stopDrivers();
}

void AudioWorld::logContents(const Logger& log) const {
    if (!simulated_) return;
    const SimulatedHardware& hardware = *simulated_;
    log.notice("Simulated audio hardware is up: %zu devices, %zu applications", hardware.deviceIDs().size(),
               hardware.processIDs().size());
    auto text = [&](AudioObjectID id, std::uint32_t selector) {
        auto v = hardware.property(id, {selector});
        return v ? std::get<QString>(*v) : QString();
    };
    for (auto id : hardware.deviceIDs()) {
        auto channels = [&](std::uint32_t scope) {
            auto v = hardware.property(id, {hal::kStreamConfiguration, scope});
            return v ? std::get<StreamConfiguration>(*v).totalChannels() : 0u;
        };
        log.notice("Device %u: %s (%s), %u out / %u in%s%s", id, qPrintable(text(id, hal::kName)),
                   qPrintable(text(id, hal::kDeviceUID)), channels(hal::kScopeOutput), channels(hal::kScopeInput),
                   id == hardware.defaultOutputDevice() ? ", default output" : "",
                   id == hardware.defaultInputDevice() ? ", default input" : "");
    }
    for (auto id : hardware.processIDs()) {
        if (auto p = hardware.process(id))
            log.notice("Application %s (%s), pid %d%s", qPrintable(p->name), qPrintable(p->bundleID), p->pid,
                       p->runningOutput ? ", playing" : "");
    }
}

}  // namespace quellor
