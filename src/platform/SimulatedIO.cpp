#include "platform/SimulatedIO.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <ctime>
#include <numbers>

#include "platform/IOBufferStorage.h"
#include "platform/SimulatedHardware.h"

namespace quellor {

using namespace hal;

namespace {

struct IOProc {
    IOProcID id = 0;
    IOBlock block;
    bool running = false;
};

struct Aggregate {
    QVariantMap description;
    QString uid;
    QString clockUID;
    QStringList subDeviceUIDs;
    QStringList tapUUIDs;
    std::vector<IOProc> procs;
    std::uint64_t cursor = 0;  // next frame its IO cycle renders
    bool killed = false;
    bool stalled = false;
    bool running() const {
        return std::any_of(procs.begin(), procs.end(), [](const IOProc& p) { return p.running; });
    }
};

// Frames a device has been sent but not yet played, from `start` on, interleaved.
struct Timeline {
    std::uint64_t start = 0;
    std::uint32_t channels = 0;
    std::vector<float> samples;
    void add(std::uint64_t frame, std::uint32_t channel, float value) {
        if (frame < start) return;  // already played
        const std::size_t i = std::size_t(frame - start) * channels + channel;
        if (samples.size() <= i) samples.resize((i / channels + 1) * channels, 0.0f);
        samples[i] += value;
    }
};

StreamConfiguration streamsOf(const SimulatedHardware& hw, AudioObjectID device, std::uint32_t scope) {
    return valueOf<StreamConfiguration>(hw, device, kStreamConfiguration, scope).value_or(StreamConfiguration{});
}

float toneSample(const SimulatedWorld::Tone& tone, std::uint64_t frame, double rate) {
    switch (tone.kind) {
    case SimulatedWorld::Tone::Kind::sine:
        return float(double(tone.amplitude) * std::sin(2.0 * std::numbers::pi * tone.frequency * double(frame) / rate));
    case SimulatedWorld::Tone::Kind::dc: return tone.value;
    case SimulatedWorld::Tone::Kind::silence: break;
    }
    return 0.0f;
}

}  // namespace

struct SimulatedIO::State {
    mutable std::mutex mutex;
    std::map<AudioObjectID, TapDescription> taps;
    std::map<AudioObjectID, Aggregate> aggregates;
    std::map<AudioObjectID, Tone> tones;
    std::map<AudioObjectID, AudioObjectID> processDevices;
    std::map<AudioObjectID, Timeline> timelines;
    std::map<AudioObjectID, Capture> captures;
    std::optional<StreamFormat> formatOverride;
    bool capturing = false;
    bool permission = true;
    IOProcID nextProc = 1;
    std::uint64_t now = 0;

    AudioObjectID tapWithUUID(const QString& uuid) const {
        for (auto& [id, t] : taps)
            if (t.uuid == uuid) return id;
        return 0;
    }

    // Read by a running aggregate that is not dead.
    bool tapIsRead(const QString& uuid) const {
        for (auto& [id, a] : aggregates)
            if (!a.killed && a.running() && a.tapUUIDs.contains(uuid)) return true;
        return false;
    }

    // A device's timeline, or none while it has no output channels.
    Timeline* timeline(AudioObjectID device) {
        auto it = timelines.find(device);
        return it == timelines.end() || it->second.channels == 0 ? nullptr : &it->second;
    }

    bool silenced(AudioObjectID process) const {
        for (auto& [id, t] : taps) {
            if (std::find(t.processes.begin(), t.processes.end(), process) == t.processes.end()) continue;
            if (t.muteBehavior == TapDescription::MuteBehavior::muted) return true;
            if (t.muteBehavior == TapDescription::MuteBehavior::mutedWhenTapped && tapIsRead(t.uuid)) return true;
        }
        return false;
    }
};

double SimulatedIO::Capture::rms(std::size_t channel) const {
    if (channel >= sumOfSquares.size() || frames == 0) return 0.0;
    return std::sqrt(sumOfSquares[channel] / double(frames));
}

SimulatedIO::SimulatedIO(SimulatedHardware& hardware) : hardware_(hardware), state_(std::make_shared<State>()) {}

SimulatedIO::~SimulatedIO() { stopDrivers(); }

// --- Taps ---

OSStatus SimulatedIO::createProcessTap(const TapDescription& d, AudioObjectID& tap) {
    {
        std::lock_guard lock(state_->mutex);
        if (!state_->permission) return kStatusNotPermitted;
        if (d.uuid.isEmpty() || state_->tapWithUUID(d.uuid)) return kStatusIllegalOperation;
    }
    for (AudioObjectID p : d.processes)
        if (!hardware_.process(p)) return kStatusBadObject;
    const AudioObjectID id = hardware_.addPlainObject();
    hardware_.setProperty(id, {kName, kScopeGlobal, kElementMain}, d.name);
    std::lock_guard lock(state_->mutex);
    state_->taps[id] = d;
    tap = id;
    return kStatusOK;
}

OSStatus SimulatedIO::destroyProcessTap(AudioObjectID tap) {
    {
        std::lock_guard lock(state_->mutex);
        if (!state_->taps.erase(tap)) return kStatusBadObject;
    }
    hardware_.removePlainObject(tap);
    return kStatusOK;
}

// --- Aggregates ---

OSStatus SimulatedIO::createAggregateDevice(const QVariantMap& d, AudioObjectID& device) {
    auto isString = [&](const char* key) {
        return d.value(key).typeId() == QMetaType::QString && !d.value(key).toString().isEmpty();
    };
    auto isBool = [&](const char* key) { return d.value(key).typeId() == QMetaType::Bool; };
    if (!isString("name") || !isString("uid") || !isString("master") || !isString("clock") ||
        !isBool("private") || !isBool("tapautostart") || (d.contains("stacked") && !isBool("stacked")))
        return kStatusIllegalOperation;

    // Entries of "subdevices" and "taps": {"uid": string, "drift": bool}.
    auto entries = [&](const char* key, QStringList& uids) {
        if (d.value(key).typeId() != QMetaType::QVariantList) return false;
        for (const QVariant& v : d.value(key).toList()) {
            const QVariantMap e = v.toMap();
            if (v.typeId() != QMetaType::QVariantMap || e.value("uid").typeId() != QMetaType::QString ||
                e.value("drift").typeId() != QMetaType::Bool)
                return false;
            uids << e.value("uid").toString();
        }
        return true;
    };
    Aggregate a;
    a.description = d;
    a.uid = d.value("uid").toString();
    a.clockUID = d.value("clock").toString();
    if (!entries("subdevices", a.subDeviceUIDs) || a.subDeviceUIDs.isEmpty() || !entries("taps", a.tapUUIDs))
        return kStatusIllegalOperation;
    if (!a.subDeviceUIDs.contains(a.clockUID) || !a.subDeviceUIDs.contains(d.value("master").toString()))
        return kStatusIllegalOperation;

    StreamConfiguration out, in;
    for (const QString& uid : a.subDeviceUIDs) {
        const AudioObjectID sub = hardware_.deviceWithUID(uid);
        if (!sub) return kStatusBadObject;
        for (auto c : streamsOf(hardware_, sub, kScopeOutput).channelsPerBuffer) out.channelsPerBuffer.push_back(c);
        for (auto c : streamsOf(hardware_, sub, kScopeInput).channelsPerBuffer) in.channelsPerBuffer.push_back(c);
    }
    std::optional<StreamFormat> formatOverride;
    {
        std::lock_guard lock(state_->mutex);
        for (auto& [id, other] : state_->aggregates)
            if (other.uid == a.uid) return kStatusIllegalOperation;
        for (const QString& uuid : a.tapUUIDs) {
            const AudioObjectID tap = state_->tapWithUUID(uuid);
            if (!tap) return kStatusBadObject;
            in.channelsPerBuffer.push_back(state_->taps[tap].mono ? 1 : 2);
        }
        formatOverride = state_->formatOverride;
    }
    const AudioObjectID clock = hardware_.deviceWithUID(a.clockUID);
    const double rate = valueOf<double>(hardware_, clock, kNominalSampleRate).value_or(48000.0);

    const AudioObjectID id = hardware_.addPlainObject();
    auto put = [&](std::uint32_t selector, std::uint32_t scope, SimulatedHardware::Value v, bool settable = false) {
        hardware_.setProperty(id, {selector, scope, kElementMain}, std::move(v), settable);
    };
    put(kDeviceUID, kScopeGlobal, a.uid);
    put(kName, kScopeGlobal, d.value("name").toString());
    put(kTransportType, kScopeGlobal, kTransportAggregate);
    put(kNominalSampleRate, kScopeGlobal, rate);
    put(kBufferFrameSize, kScopeGlobal, valueOf<std::uint32_t>(hardware_, clock, kBufferFrameSize).value_or(512), true);
    put(kBufferFrameSizeRange, kScopeGlobal,
        valueOf<ValueRange>(hardware_, clock, kBufferFrameSizeRange).value_or(ValueRange{15, 4096}));
    put(kDeviceIsAlive, kScopeGlobal, std::uint32_t(1));
    put(kFullSubDeviceList, kScopeGlobal, a.subDeviceUIDs);
    put(kStreamConfiguration, kScopeOutput, out);
    put(kStreamConfiguration, kScopeInput, in);
    put(kStreamFormat, kScopeOutput, formatOverride.value_or(StreamFormat::float32(rate, out.totalChannels())));
    if (in.totalChannels()) put(kStreamFormat, kScopeInput, StreamFormat::float32(rate, in.totalChannels()));

    std::lock_guard lock(state_->mutex);
    a.cursor = state_->now;
    state_->aggregates[id] = std::move(a);
    device = id;
    return kStatusOK;
}

OSStatus SimulatedIO::destroyAggregateDevice(AudioObjectID device) {
    std::lock_guard io(ioMutex_);  // no IO call of it in flight from here on
    {
        std::lock_guard lock(state_->mutex);
        if (!state_->aggregates.erase(device)) return kStatusBadObject;
    }
    hardware_.removePlainObject(device);
    return kStatusOK;
}

void SimulatedIO::deviceRateChanged(const QString& deviceUID, double rate) {
    std::vector<AudioObjectID> following;
    {
        std::lock_guard lock(state_->mutex);
        for (auto& [id, a] : state_->aggregates)
            if (a.clockUID == deviceUID) following.push_back(id);
    }
    for (AudioObjectID id : following) {
        hardware_.setProperty(id, {kNominalSampleRate, kScopeGlobal, kElementMain}, rate);
        for (auto scope : {kScopeOutput, kScopeInput}) {
            if (auto format = valueOf<StreamFormat>(hardware_, id, kStreamFormat, scope)) {
                format->sampleRate = rate;
                hardware_.setProperty(id, {kStreamFormat, scope, kElementMain}, *format);
            }
        }
    }
}

// --- IO procedures ---

OSStatus SimulatedIO::createIOProc(AudioObjectID device, IOBlock block, IOProcID& proc) {
    std::lock_guard lock(state_->mutex);
    auto it = state_->aggregates.find(device);
    if (it == state_->aggregates.end()) return hardware_.exists(device) ? kStatusUnsupported : kStatusBadObject;
    if (!block) return kStatusIllegalOperation;
    proc = state_->nextProc++;
    it->second.procs.push_back({proc, std::move(block), false});
    return kStatusOK;
}

OSStatus SimulatedIO::destroyIOProc(AudioObjectID device, IOProcID proc) {
    std::lock_guard io(ioMutex_);
    std::lock_guard lock(state_->mutex);
    auto it = state_->aggregates.find(device);
    if (it == state_->aggregates.end()) return kStatusBadObject;
    const auto removed = std::erase_if(it->second.procs, [&](const IOProc& p) { return p.id == proc; });
    return removed ? kStatusOK : kStatusIllegalOperation;
}

OSStatus SimulatedIO::startDevice(AudioObjectID device, IOProcID proc) {
    std::lock_guard lock(state_->mutex);
    auto it = state_->aggregates.find(device);
    if (it == state_->aggregates.end()) return kStatusBadObject;
    Aggregate& a = it->second;
    if (a.killed) return kStatusUnspecified;
    auto p = std::find_if(a.procs.begin(), a.procs.end(), [&](const IOProc& x) { return x.id == proc; });
    if (p == a.procs.end()) return kStatusIllegalOperation;
    if (!a.running()) a.cursor = state_->now;
    p->running = true;
    return kStatusOK;
}

OSStatus SimulatedIO::stopDevice(AudioObjectID device, IOProcID proc) {
    {
        std::lock_guard lock(state_->mutex);
        auto it = state_->aggregates.find(device);
        if (it == state_->aggregates.end()) return kStatusBadObject;
        auto& procs = it->second.procs;
        auto p = std::find_if(procs.begin(), procs.end(), [&](const IOProc& x) { return x.id == proc; });
        if (p == procs.end()) return kStatusIllegalOperation;
        p->running = false;
    }
    // A cycle that took the block before the flag changed may still be calling it: wait for it.
    std::lock_guard io(ioMutex_);
    return kStatusOK;
}

// --- The world ---

void SimulatedIO::setTone(AudioObjectID process, const Tone& tone) {
    std::lock_guard lock(state_->mutex);
    state_->tones[process] = tone;
}

void SimulatedIO::setProcessDevice(AudioObjectID process, AudioObjectID device) {
    std::lock_guard lock(state_->mutex);
    state_->processDevices[process] = device;
}

void SimulatedIO::setCapturePermission(bool granted) {
    std::lock_guard lock(state_->mutex);
    state_->permission = granted;
}

void SimulatedIO::overrideAggregateFormat(std::optional<StreamFormat> format) {
    std::lock_guard lock(state_->mutex);
    state_->formatOverride = format;
}

void SimulatedIO::setStalled(AudioObjectID aggregate, bool stalled) {
    std::lock_guard lock(state_->mutex);
    if (auto it = state_->aggregates.find(aggregate); it != state_->aggregates.end()) it->second.stalled = stalled;
}

void SimulatedIO::kill(AudioObjectID aggregate) {
    {
        std::lock_guard lock(state_->mutex);
        auto it = state_->aggregates.find(aggregate);
        if (it == state_->aggregates.end()) return;
        it->second.killed = true;
    }
    hardware_.setProperty(aggregate, {kDeviceIsAlive, kScopeGlobal, kElementMain}, std::uint32_t(0));
    std::lock_guard io(ioMutex_);
}

std::optional<TapDescription> SimulatedIO::tap(AudioObjectID tap) const {
    std::lock_guard lock(state_->mutex);
    auto it = state_->taps.find(tap);
    if (it == state_->taps.end()) return std::nullopt;
    return it->second;
}

std::vector<AudioObjectID> SimulatedIO::taps() const {
    std::lock_guard lock(state_->mutex);
    std::vector<AudioObjectID> ids;
    for (auto& [id, t] : state_->taps) ids.push_back(id);
    return ids;
}

std::optional<SimulatedIO::AggregateInfo> SimulatedIO::aggregate(AudioObjectID device) const {
    std::lock_guard lock(state_->mutex);
    auto it = state_->aggregates.find(device);
    if (it == state_->aggregates.end()) return std::nullopt;
    const Aggregate& a = it->second;
    return AggregateInfo{a.description, a.running(), a.killed, a.stalled, a.procs.size()};
}

std::vector<AudioObjectID> SimulatedIO::aggregates() const {
    std::lock_guard lock(state_->mutex);
    std::vector<AudioObjectID> ids;
    for (auto& [id, a] : state_->aggregates) ids.push_back(id);
    return ids;
}

bool SimulatedIO::isProcessSilenced(AudioObjectID process) const {
    std::lock_guard lock(state_->mutex);
    return state_->silenced(process);
}

void SimulatedIO::setCapturing(bool on) {
    std::lock_guard lock(state_->mutex);
    state_->capturing = on;
    state_->captures.clear();
}

SimulatedIO::Capture SimulatedIO::capture(AudioObjectID device) const {
    std::lock_guard lock(state_->mutex);
    auto it = state_->captures.find(device);
    if (it == state_->captures.end()) return Capture{};
    Capture c = it->second;
    // Kept in a buffer up to twice the size, trimmed in one step: hand out only the latest frames.
    for (auto& samples : c.samples)
        if (samples.size() > kMaxCapturedFrames) samples.erase(samples.begin(), samples.end() - kMaxCapturedFrames);
    return c;
}

void SimulatedIO::clearCaptures() {
    std::lock_guard lock(state_->mutex);
    state_->captures.clear();
}

std::uint64_t SimulatedIO::now() const {
    std::lock_guard lock(state_->mutex);
    return state_->now;
}

// --- IO cycles ---

// One call of an aggregate's IO procedures, prepared under the lock and run without it.
struct SimulatedIO::Cycle {
    AudioObjectID aggregate = 0;
    std::uint64_t frame = 0;
    std::uint32_t frames = 0;
    double rate = 48000.0;
    std::vector<IOBlock> blocks;
    std::unique_ptr<IOBufferStorage> input;
    std::vector<std::unique_ptr<IOBufferStorage>> outputs;  // one set per block
    // Where each output stream goes: device and its first channel there.
    std::vector<std::pair<AudioObjectID, std::uint32_t>> destinations;
};

namespace {

// Adds what a device played in its timeline's first `frames` frames to its capture.
void capturePlayed(SimulatedIO::Capture& cap, const Timeline& t, std::uint32_t channels, std::uint32_t frames) {
    cap.samples.resize(channels);
    cap.peak.resize(channels, 0.0f);
    cap.sumOfSquares.resize(channels, 0.0);
    for (std::uint32_t ch = 0; ch < channels; ++ch) {
        auto& samples = cap.samples[ch];
        for (std::uint32_t f = 0; f < frames; ++f) {
            const float v = t.samples[std::size_t(f) * channels + ch];
            samples.push_back(v);
            cap.peak[ch] = std::max(cap.peak[ch], std::fabs(v));
            cap.sumOfSquares[ch] += double(v) * double(v);
        }
        if (samples.size() > 2 * SimulatedIO::kMaxCapturedFrames)
            samples.erase(samples.begin(), samples.end() - SimulatedIO::kMaxCapturedFrames);
    }
    cap.frames += frames;
}

}  // namespace

// The IO procedures run with no simulation lock held (they call back into the hardware), so one
// advance goes in phases: what needs the lock is gathered before them and applied after them.
void SimulatedIO::advance(std::uint32_t frames) {
    if (frames == 0) return;
    std::lock_guard io(ioMutex_);
    // 1. The listed devices and their output channels, asked of the hardware before the lock.
    const DeviceChannels devices = listedDeviceChannels();
    std::vector<Cycle> cycles;
    std::uint64_t start, end;
    {
        std::lock_guard lock(state_->mutex);
        start = state_->now;
        end = start + frames;
        // 2. The IO cycles every running aggregate owes for [start, end), their inputs filled.
        cycles = prepareCycles(start, end);
    }
    // 3. The IO procedures, without the lock.
    runCycles(cycles);

    std::lock_guard lock(state_->mutex);
    // 4. A device that is new or changed its channel count starts a fresh timeline at `start`.
    resetTimelines(devices, start);
    // 5. What the procedures wrote reaches the aggregates' sub-devices.
    addCycleOutputs(cycles);
    // 6. Processes that nothing silences play straight on their device.
    playUnsilencedProcesses(start, end);
    // 7. Every device plays [start, end): captured while asked for, then gone from its timeline.
    playOut(devices, end, frames);
    state_->now = end;
}

SimulatedIO::DeviceChannels SimulatedIO::listedDeviceChannels() const {
    DeviceChannels devices;
    for (AudioObjectID d : hardware_.deviceIDs())
        devices.emplace_back(d, streamsOf(hardware_, d, kScopeOutput).totalChannels());
    return devices;
}

std::vector<SimulatedIO::Cycle> SimulatedIO::prepareCycles(std::uint64_t start, std::uint64_t end) {
    State& s = *state_;
    std::vector<Cycle> cycles;
    for (auto& [id, a] : s.aggregates) {
        if (a.killed || a.stalled || !a.running()) continue;
        const double rate = valueOf<double>(hardware_, id, kNominalSampleRate).value_or(48000.0);
        const std::uint32_t size = std::max<std::uint32_t>(1, valueOf<std::uint32_t>(hardware_, id, kBufferFrameSize).value_or(512));
        a.cursor = std::max(a.cursor, start);  // a stalled device does not catch up
        while (a.cursor < end) {
            Cycle c;
            c.aggregate = id;
            c.frame = a.cursor;
            c.frames = size;
            c.rate = rate;
            std::vector<IOBufferStorage::Stream> ins, outs;
            for (const QString& uid : a.subDeviceUIDs) {
                const AudioObjectID sub = hardware_.deviceWithUID(uid);
                if (!sub) continue;
                for (auto ch : streamsOf(hardware_, sub, kScopeInput).channelsPerBuffer) ins.push_back({ch, size});
                std::uint32_t first = 0;
                for (auto ch : streamsOf(hardware_, sub, kScopeOutput).channelsPerBuffer) {
                    outs.push_back({ch, size});
                    c.destinations.emplace_back(sub, first);
                    first += ch;
                }
            }
            const std::size_t tapBase = ins.size();
            for (const QString& uuid : a.tapUUIDs) {
                const AudioObjectID tap = s.tapWithUUID(uuid);
                ins.push_back({tap && s.taps[tap].mono ? 1u : 2u, size});
            }
            c.input = std::make_unique<IOBufferStorage>(ins);
            mixTappedProcesses(c, a.tapUUIDs, tapBase);
            for (const IOProc& p : a.procs) {
                if (!p.running) continue;
                c.blocks.push_back(p.block);
                c.outputs.push_back(std::make_unique<IOBufferStorage>(outs));
            }
            a.cursor += size;
            cycles.push_back(std::move(c));
        }
    }
    return cycles;
}

// The tapped mixdown: every playing process of each tap, on every channel of that tap's input.
void SimulatedIO::mixTappedProcesses(Cycle& c, const QStringList& tapUUIDs, std::size_t tapBase) {
    State& s = *state_;
    for (int t = 0; t < tapUUIDs.size(); ++t) {
        const AudioObjectID tap = s.tapWithUUID(tapUUIDs[t]);
        if (!tap) continue;
        IOBuffer& b = c.input->buffer(tapBase + t);
        for (AudioObjectID p : s.taps[tap].processes) {
            auto process = hardware_.process(p);
            auto tone = s.tones.find(p);
            if (!process || !process->runningOutput || tone == s.tones.end()) continue;
            for (std::uint32_t f = 0; f < c.frames; ++f) {
                const float v = toneSample(tone->second, c.frame + f, c.rate);
                for (std::uint32_t ch = 0; ch < b.channels; ++ch) b.samples()[f * b.channels + ch] += v;
            }
        }
    }
}

void SimulatedIO::runCycles(std::vector<Cycle>& cycles) const {
    for (Cycle& c : cycles) {
        const AudioTimeStamp now{double(c.frame), hostTimeOf(c.frame)};
        const AudioTimeStamp out{double(c.frame + c.frames), hostTimeOf(c.frame + c.frames)};
        for (std::size_t i = 0; i < c.blocks.size(); ++i) c.blocks[i](now, c.input->list(), now, c.outputs[i]->list(), out);
    }
}

void SimulatedIO::resetTimelines(const DeviceChannels& devices, std::uint64_t start) {
    for (auto& [device, channels] : devices) {
        Timeline& t = state_->timelines[device];
        if (t.channels != channels) t = Timeline{start, channels, {}};
    }
}

void SimulatedIO::addCycleOutputs(const std::vector<Cycle>& cycles) {
    for (const Cycle& c : cycles) {
        for (auto& outputs : c.outputs) {
            for (std::size_t i = 0; i < outputs->size(); ++i) {
                auto [device, first] = c.destinations[i];
                Timeline* t = state_->timeline(device);
                const IOBuffer& b = outputs->buffer(i);
                if (!t) continue;
                for (std::uint32_t f = 0; f < c.frames; ++f)
                    for (std::uint32_t ch = 0; ch < b.channels && first + ch < t->channels; ++ch)
                        t->add(c.frame + f, first + ch, b.samples()[f * b.channels + ch]);
            }
        }
    }
}

void SimulatedIO::playUnsilencedProcesses(std::uint64_t start, std::uint64_t end) {
    State& s = *state_;
    const AudioObjectID defaultOutput = hardware_.defaultOutputDevice();
    for (auto& [process, tone] : s.tones) {
        auto p = hardware_.process(process);
        if (!p || !p->runningOutput || tone.kind == Tone::Kind::silence || s.silenced(process)) continue;
        auto chosen = s.processDevices.find(process);
        const AudioObjectID device = chosen != s.processDevices.end() && chosen->second ? chosen->second : defaultOutput;
        Timeline* t = s.timeline(device);
        if (!t) continue;
        const double rate = valueOf<double>(hardware_, device, kNominalSampleRate).value_or(48000.0);
        for (std::uint64_t f = start; f < end; ++f) {
            const float v = toneSample(tone, f, rate);
            for (std::uint32_t ch = 0; ch < std::min<std::uint32_t>(2, t->channels); ++ch) t->add(f, ch, v);
        }
    }
}

void SimulatedIO::playOut(const DeviceChannels& devices, std::uint64_t end, std::uint32_t frames) {
    State& s = *state_;
    for (auto& [device, channels] : devices) {
        Timeline* t = s.timeline(device);
        if (!t) continue;
        t->add(end - 1, 0, 0.0f);  // makes sure the frames exist
        if (s.capturing) capturePlayed(s.captures[device], *t, channels, frames);
        t->samples.erase(t->samples.begin(), t->samples.begin() + std::size_t(frames) * channels);
        t->start = end;
    }
}

std::uint64_t SimulatedIO::hostTimeOf(std::uint64_t frame) const {
    return std::uint64_t(hostOrigin_.load() + std::int64_t(double(frame) / hostRate_.load() * 1e9));
}

std::uint64_t SimulatedIO::hostTimeNow() const { return hostTimeOf(now()); }

void SimulatedIO::startVirtualDriver(std::uint32_t framesPerCycle, double rate) {
    hostRate_ = rate > 0 ? rate : 48000.0;
    virtualDriver_.set(Scheduler::current().every(framesPerCycle / rate, [this, framesPerCycle] { advance(framesPerCycle); }));
}

void SimulatedIO::startRealTimeDriver(std::uint32_t framesPerCycle, double rate) {
    if (realTimeRunning_.exchange(true)) return;
    hostRate_ = rate > 0 ? rate : 48000.0;
    // Host times from here on are the monotonic clock's: the frame playing now is now.
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    const std::int64_t monotonic = std::int64_t(ts.tv_sec) * 1'000'000'000 + ts.tv_nsec;
    hostOrigin_ = 0;
    hostOrigin_ = monotonic - std::int64_t(hostTimeOf(now()));
    realTimeDriver_ = std::thread([this, framesPerCycle, rate] {
        const auto period = std::chrono::duration<double>(framesPerCycle / rate);
        auto next = std::chrono::steady_clock::now();
        while (realTimeRunning_.load()) {
            advance(framesPerCycle);
            next += std::chrono::duration_cast<std::chrono::steady_clock::duration>(period);
            std::this_thread::sleep_until(next);
        }
    });
}

void SimulatedIO::stopDrivers() {
    virtualDriver_.cancel();
    realTimeRunning_ = false;
    if (realTimeDriver_.joinable()) realTimeDriver_.join();
}

}  // namespace quellor
