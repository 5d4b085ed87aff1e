#include "platform/PipeWireHardware.h"

#include <cstring>

namespace quellor {

using namespace hal;

PipeWireHardware::PipeWireHardware() = default;

PipeWireHardware::~PipeWireHardware() {
    // The taps put back what they changed while the connection is still up; then PipeWire's
    // thread stops: nothing is posted from here on, and what was posted finds the liveness token
    // gone.
    taps_.detach();
    std::lock_guard lock(mutex_);
    connection_.reset();
}

bool PipeWireHardware::start() { return connect(); }

bool PipeWireHardware::connected() const {
    std::lock_guard lock(mutex_);
    return connection_ != nullptr;
}

bool PipeWireHardware::connect() {
    const std::uint64_t generation = generation_ + 1;
    // Each report hops to the main thread; one from an earlier connection is dropped there.
    auto onMain = [this, weak = alive_.weak(), generation](auto fn) {
        Scheduler::current().post([this, weak, generation, fn = std::move(fn)] {
            if (!weak.lock() || generation != generation_) return;
            fn();
        });
    };
    PipeWireConnection::Events events{
        [onMain, this](const PipeWireNode& node) { onMain([this, node] { applyNode(node); }); },
        [onMain, this](std::uint64_t serial) { onMain([this, serial] { removeNode(serial); }); },
        [onMain, this](const std::string& sink, const std::string& source) {
            onMain([this, sink, source] {
                defaultSink_ = sink;
                defaultSource_ = source;
                applyDefaults();
            });
        },
        [onMain, this](const PipeWireClock& clock) {
            onMain([this, clock] {
                clock_ = clock;
                applyClock();
            });
        },
        [onMain, this] { onMain([this] { connectionLost(); }); },
    };
    auto connection = PipeWireConnection::connect(std::move(events), &taps_.guest());
    if (!connection) return false;
    std::lock_guard lock(mutex_);
    generation_ = generation;
    connection_ = std::move(connection);
    return true;
}

// --- Reports from the server ---

void PipeWireHardware::applyNode(const PipeWireNode& node) {
    if (node.isDevice())
        applyDevice(node);
    else
        applyStream(node);
}

void PipeWireHardware::applyDevice(const PipeWireNode& node) {
    const std::uint32_t scope = node.kind == PipeWireNode::Kind::Sink ? kScopeOutput : kScopeInput;
    const std::uint32_t other = scope == kScopeOutput ? kScopeInput : kScopeOutput;
    StreamConfiguration streams;
    if (node.channels) streams.channelsPerBuffer = {node.channels};
    AudioObjectID id = 0;
    {
        std::lock_guard lock(mutex_);
        devices_[node.serial] = node;
        auto it = deviceObjects_.find(node.serial);
        if (it != deviceObjects_.end()) id = it->second;
    }
    if (!id) {
        SimulatedDevice d;
        d.uid = QString::fromStdString(node.name);
        d.name = QString::fromStdString(node.description);
        d.transport = transportFor(node);
        SimulatedDevice::Scope& own = scope == kScopeOutput ? d.output : d.input;
        own.streams = streams;
        if (std::uint32_t source = dataSourceFor(node)) own.dataSource = source;
        d.sampleRate = clock_.rate;
        d.bufferFrameSize = clock_.quantum;
        d.bufferFrameSizeRange = {double(clock_.minQuantum), double(clock_.maxQuantum)};
        d.runningSomewhere = node.running;
        id = model_.addDevice(d);
        // The clock belongs to the whole desktop: nobody sets it through one device.
        model_.setSettable(id, {kNominalSampleRate}, false);
        model_.setSettable(id, {kBufferFrameSize}, false);
        {
            std::lock_guard lock(mutex_);
            deviceObjects_[node.serial] = id;
        }
        const bool output = scope == kScopeOutput;
        log_.notice("Device %u: %s (%s), %u out / %u in", id, qPrintable(d.name), qPrintable(d.uid),
                    output ? node.channels : 0u, output ? 0u : node.channels);
    } else {
        model_.setProperty(id, {kName}, QString::fromStdString(node.description));
        model_.setProperty(id, {kTransportType}, transportFor(node));
        if (std::uint32_t source = dataSourceFor(node))
            model_.setProperty(id, {kDataSource, scope}, source);
        else
            model_.removeProperty(id, {kDataSource, scope});
        model_.setProperty(id, {kStreamConfiguration, scope}, streams);
        if (node.channels)
            model_.setProperty(id, {kStreamFormat, scope}, StreamFormat::float32(clock_.rate, node.channels));
        model_.setProperty(id, {kDeviceIsRunningSomewhere}, std::uint32_t(node.running));
    }
    model_.setProperty(id, {kStreamConfiguration, other}, StreamConfiguration{});
    model_.setProperty(id, {kLatency, scope}, latencyFrames(node.latency, clock_.quantum, clock_.rate));
    if (!node.channelVolumes.empty())
        model_.setProperty(id, {kVirtualMainVolume, scope}, cubicVolume(node.channelVolumes), node.writable);
    else
        model_.removeProperty(id, {kVirtualMainVolume, scope});
    if (node.mute)
        model_.setProperty(id, {kMute, scope}, std::uint32_t(*node.mute), node.writable);
    else
        model_.removeProperty(id, {kMute, scope});
    applyDefaults();
}

void PipeWireHardware::applyStream(const PipeWireNode& node) {
    const bool playback = node.kind == PipeWireNode::Kind::PlaybackStream;
    std::int32_t previous = 0;
    if (auto it = streams_.find(node.serial); it != streams_.end()) previous = it->second.pid;
    streams_[node.serial] = Stream{node.pid, playback && node.running, !playback && node.running};
    if (previous && previous != node.pid) refreshProcess(previous);
    refreshProcess(node.pid);
}

void PipeWireHardware::removeNode(std::uint64_t serial) {
    if (auto it = streams_.find(serial); it != streams_.end()) {
        const std::int32_t pid = it->second.pid;
        streams_.erase(it);
        refreshProcess(pid);
        return;
    }
    AudioObjectID id = 0;
    {
        std::lock_guard lock(mutex_);
        devices_.erase(serial);
        if (auto it = deviceObjects_.find(serial); it != deviceObjects_.end()) {
            id = it->second;
            deviceObjects_.erase(it);
        }
    }
    if (!id) return;
    log_.notice("Device %u is gone", id);
    model_.removeDevice(id);
    // The object store picks a fallback default of its own; the session manager's word counts.
    applyDefaults();
}

// One process object per process that owns streams; it plays (records) while one of them does.
void PipeWireHardware::refreshProcess(std::int32_t pid) {
    if (pid <= 0) return;
    bool any = false, playing = false, recording = false;
    for (const auto& [serial, s] : streams_) {
        if (s.pid != pid) continue;
        any = true;
        playing = playing || s.playing;
        recording = recording || s.recording;
    }
    auto it = processObjects_.find(pid);
    if (!any) {
        if (it != processObjects_.end()) {
            model_.removeProcess(it->second);
            processObjects_.erase(it);
        }
    } else if (it == processObjects_.end()) {
        SimulatedProcess p;
        p.pid = pid;
        p.runningOutput = playing;
        p.runningInput = recording;
        processObjects_[pid] = model_.addProcess(p);
    } else {
        model_.setProcessRunning(it->second, playing, recording);
    }
}

void PipeWireHardware::applyDefaults() {
    auto deviceNamed = [&](const std::string& name, std::uint32_t scope) -> AudioObjectID {
        if (name.empty()) return 0;
        AudioObjectID id = model_.deviceWithUID(QString::fromStdString(name));
        auto streams = model_.property(id, {kStreamConfiguration, scope});
        return streams && std::get<StreamConfiguration>(*streams).totalChannels() ? id : 0;
    };
    model_.setDefaultOutputDevice(deviceNamed(defaultSink_, kScopeOutput));
    model_.setDefaultInputDevice(deviceNamed(defaultSource_, kScopeInput));
}

void PipeWireHardware::applyClock() {
    std::map<std::uint64_t, PipeWireNode> devices;
    std::map<std::uint64_t, AudioObjectID> objects;
    {
        std::lock_guard lock(mutex_);
        devices = devices_;
        objects = deviceObjects_;
    }
    for (const auto& [serial, id] : objects) {
        const PipeWireNode& node = devices.at(serial);
        model_.setNominalSampleRate(id, clock_.rate);
        model_.setProperty(id, {kBufferFrameSize}, clock_.quantum);
        model_.setProperty(id, {kBufferFrameSizeRange}, ValueRange{double(clock_.minQuantum), double(clock_.maxQuantum)});
        model_.setProperty(id, {kLatency, node.kind == PipeWireNode::Kind::Sink ? kScopeOutput : kScopeInput},
                           latencyFrames(node.latency, clock_.quantum, clock_.rate));
    }
}

void PipeWireHardware::connectionLost() {
    log_.error("The PipeWire server went away; reconnecting every %g s", kReconnectSeconds);
    taps_.detach();
    std::unique_ptr<PipeWireConnection> old;
    {
        std::lock_guard lock(mutex_);
        old = std::move(connection_);
        ++generation_;
        devices_.clear();
        deviceObjects_.clear();
    }
    old.reset();
    streams_.clear();
    for (const auto& [pid, id] : processObjects_) model_.removeProcess(id);
    processObjects_.clear();
    for (AudioObjectID id : model_.deviceIDs()) model_.removeDevice(id);
    defaultSink_.clear();
    defaultSource_.clear();
    applyDefaults();
    scheduleReconnect();
}

void PipeWireHardware::scheduleReconnect() {
    reconnect_.set(Scheduler::current().after(kReconnectSeconds, alive_.guard([this] {
        reconnect_.clear();
        if (connect())
            log_.notice("Connected to the PipeWire server again");
        else
            scheduleReconnect();
    })));
}

// --- AudioHardware ---

OSStatus PipeWireHardware::propertyDataSize(AudioObjectID object, const PropertyAddress& address,
                                            std::uint32_t& size) {
    return model_.propertyDataSize(object, address, size);
}

OSStatus PipeWireHardware::propertyData(AudioObjectID object, const PropertyAddress& address, std::uint32_t& ioSize,
                                        void* data) {
    return model_.propertyData(object, address, ioSize, data);
}

OSStatus PipeWireHardware::propertyObject(AudioObjectID object, const PropertyAddress& address, QVariant& value) {
    return model_.propertyObject(object, address, value);
}

OSStatus PipeWireHardware::isPropertySettable(AudioObjectID object, const PropertyAddress& address, bool& settable) {
    return model_.isPropertySettable(object, address, settable);
}

OSStatus PipeWireHardware::addPropertyListener(AudioObjectID object, const PropertyAddress& address,
                                               PropertyListener listener, ListenerToken& token) {
    return model_.addPropertyListener(object, address, std::move(listener), token);
}

OSStatus PipeWireHardware::removePropertyListener(AudioObjectID object, const PropertyAddress& address,
                                                  ListenerToken token) {
    return model_.removePropertyListener(object, address, token);
}

OSStatus PipeWireHardware::setPropertyData(AudioObjectID object, const PropertyAddress& address, std::uint32_t size,
                                           const void* data) {
    const bool isDefault = object == kSystemObject &&
                           (address.selector == kDefaultOutputDevice || address.selector == kDefaultInputDevice);
    const bool isControl = address.selector == kVirtualMainVolume || address.selector == kMute;
    if (taps_.owns(object)) return taps_.setPropertyData(object, address, size, data);
    // Everything else is either not settable or not there: the object store answers that.
    if (!isDefault && !isControl) return model_.setPropertyData(object, address, size, data);
    if (size != 4) return kStatusBadPropertySize;
    std::uint32_t word = 0;
    std::memcpy(&word, data, 4);

    if (isDefault) {
        const bool sink = address.selector == kDefaultOutputDevice;
        std::lock_guard lock(mutex_);
        for (const auto& [serial, id] : deviceObjects_) {
            if (id != word) continue;
            const PipeWireNode& node = devices_.at(serial);
            if ((node.kind == PipeWireNode::Kind::Sink) != sink || !node.channels) break;
            if (!connection_ || !connection_->setConfiguredDefault(sink, node.name)) return kStatusUnspecified;
            return kStatusOK;
        }
        return kStatusIllegalOperation;
    }

    bool settable = false;
    if (OSStatus status = model_.isPropertySettable(object, address, settable); status != kStatusOK) return status;
    if (!settable) return kStatusIllegalOperation;
    std::lock_guard lock(mutex_);
    for (const auto& [serial, id] : deviceObjects_) {
        if (id != object) continue;
        if (!connection_) return kStatusUnspecified;
        bool sent = false;
        if (address.selector == kMute) {
            sent = connection_->setNodeProps(serial, std::nullopt, word != 0);
        } else {
            float level = 0;
            std::memcpy(&level, &word, 4);
            sent = connection_->setNodeProps(serial, channelVolumesFor(devices_.at(serial).channelVolumes, level),
                                             std::nullopt);
        }
        return sent ? kStatusOK : kStatusBadObject;
    }
    return kStatusBadObject;
}

OSStatus PipeWireHardware::createProcessTap(const TapDescription& description, AudioObjectID& tap) {
    return taps_.createProcessTap(description, tap);
}
OSStatus PipeWireHardware::destroyProcessTap(AudioObjectID tap) { return taps_.destroyProcessTap(tap); }
OSStatus PipeWireHardware::createAggregateDevice(const QVariantMap& description, AudioObjectID& device) {
    return taps_.createAggregateDevice(description, device);
}
OSStatus PipeWireHardware::destroyAggregateDevice(AudioObjectID device) { return taps_.destroyAggregateDevice(device); }
OSStatus PipeWireHardware::createIOProc(AudioObjectID device, IOBlock block, IOProcID& proc) {
    return taps_.createIOProc(device, std::move(block), proc);
}
OSStatus PipeWireHardware::destroyIOProc(AudioObjectID device, IOProcID proc) { return taps_.destroyIOProc(device, proc); }
OSStatus PipeWireHardware::startDevice(AudioObjectID device, IOProcID proc) { return taps_.startDevice(device, proc); }
OSStatus PipeWireHardware::stopDevice(AudioObjectID device, IOProcID proc) { return taps_.stopDevice(device, proc); }

}  // namespace quellor
