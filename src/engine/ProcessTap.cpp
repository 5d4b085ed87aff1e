#include "engine/ProcessTap.h"

#include <QStringList>
#include <QUuid>
#include <algorithm>
#include <cmath>

#include "audio/HALError.h"
#include "audio/HALProperties.h"
#include "audio/IOBufferFrames.h"
#include "base/UserDefaults.h"
#include "engine/RenderPass.h"

namespace quellor {

using namespace hal;

namespace {

QString firstProcessText(const std::vector<AudioObjectID>& ids) {
    return QString::number(ids.empty() ? 0u : ids.front());
}

QString newUUID() { return QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper(); }

void check(OSStatus status, const char* operation) {
    if (status != kStatusOK) throw HALError::operation(status, QString::fromLatin1(operation));
}

}  // namespace

ProcessTap::ProcessTap(float volume, float cueVolume, std::vector<AudioObjectID> processObjectIDs, bool muted,
                       MixSink* mainLane)
    : processObjectIDs_(std::move(processObjectIDs)) {
    state_.mainLane.store(mainLane, std::memory_order_release);
    state_.volume = volume;
    state_.cueVolume = cueVolume;
    state_.isMuted = muted;
    state_.currentGain = muted ? 0.0f : cubedLevel(volume);
    state_.currentCueGain = cubedLevel(cueVolume);
}

ProcessTap::~ProcessTap() {
    teardown();
    drainDiagnostics();
}

void ProcessTap::setVolume(float v) { state_.volume = clampLevel(v); }
void ProcessTap::setCueVolume(float v) { state_.cueVolume = clampLevel(v); }
void ProcessTap::setPhonesBusGain(float v) { state_.phonesBusGain = clampLevel(v); }

float ProcessTap::targetGain() const { return renderTargets(state_).main; }

void ProcessTap::start(const std::vector<Output>& outputs, std::optional<BusLayout> layout) {
    if (running_ || outputs.empty()) return;
    // Objects left over from a start that failed part-way would otherwise leak.
    teardown();
    AudioHardware& hw = AudioHardware::installed();
    activatedOutputs_ = outputs;
    if (outputs.size() == 1 && layout) {
        state_.mainOffset = layout->mainOffset;
        state_.phonesOffset = layout->phonesOffset;
        state_.pairWidth = layout->pairWidth;
        state_.pairedBuses = true;
    } else {
        state_.pairedBuses = false;
    }

    TapDescription tap;
    tap.processes = processObjectIDs_;
    tap.mono = false;
    tap.uuid = newUUID();
    tap.muteBehavior = TapDescription::MuteBehavior::mutedWhenTapped;
    tap.isPrivate = true;
    tap.name = QStringLiteral("Quellor tap #") + firstProcessText(processObjectIDs_);
    AudioObjectID tapID = 0;
    check(hw.createProcessTap(tap, tapID), "create process tap");
    tapID_ = tapID;

    AudioObjectID aggregateID = 0;
    check(hw.createAggregateDevice(aggregateDescription(outputs, tap.uuid), aggregateID), "create aggregate device");
    aggregateID_ = aggregateID;

    applyBufferSize();

    double rate = 48000.0;
    try {
        readHALProperty64(kNominalSampleRate, kScopeGlobal, rate, aggregateID_);
    } catch (const HALError&) {
        rate = 48000.0;
    }
    // A rate that is not a positive number would turn the ramp into a runaway gain.
    if (!(std::isfinite(rate) && rate > 0)) rate = 48000.0;
    state_.rampCoefficient = 1.0f - std::exp(-1.0f / (float(rate) * 0.03f));
    activatedSampleRate_ = rate;

    checkStreamFormat();

    // A tap that has never rendered starts at the levels its settings give now, so one built
    // during panic, solo or cue is silent (or cued) from its first cycle.
    if (state_.renderCount == 0) {
        const RenderTargets targets = renderTargets(state_);
        state_.currentGain = targets.main;
        state_.currentCueGain = targets.cue;
    }

    IOProcID proc = 0;
    TapRenderState* state = &state_;
    check(hw.createIOProc(aggregateID_,
                          [state](const AudioTimeStamp&, const IOBufferList& input, const AudioTimeStamp&,
                                  const IOBufferList& output, const AudioTimeStamp& outputTime) {
                              renderPass(*state, input, output);
                              // Placed by when this output is heard, so every tap on the MAIN
                              // device meets the others in the same frames.
                              if (MixSink* lane = state->mainLane.load(std::memory_order_acquire))
                                  feedMainMix(*state, *lane, outputTime.hostTime, input, output);
                          },
                          proc),
          "create IO proc");
    procID_ = proc;
    check(hw.startDevice(aggregateID_, proc), "start aggregate device");
    running_ = true;
    drainTask_.set(Scheduler::current().every(0.5, liveness_.guard([this] { drainDiagnostics(); })));

    QStringList ids;
    for (AudioObjectID id : processObjectIDs_) ids << QString::number(id);
    log_.info("Tap active for processes [%s]: tap %u, aggregate %u", qPrintable(ids.join(',')), tapID_,
              aggregateID_);
}

QVariantMap ProcessTap::aggregateDescription(const std::vector<Output>& outputs, const QString& tapUUID) const {
    const QString master = outputs.front().uid;
    QVariantList subdevices;
    for (const Output& o : outputs) subdevices << QVariantMap{{"uid", o.uid}, {"drift", o.uid != master}};
    const bool minLatency = UserDefaults::standard().boolOr(QStringLiteral("minLatencyMode"), false);
    QVariantMap d{
        {"name", QStringLiteral("Quellor aggregate #") + firstProcessText(processObjectIDs_)},
        {"uid", newUUID()},
        {"master", master},
        {"clock", master},
        {"private", true},
        {"tapautostart", true},
        {"subdevices", subdevices},
        {"taps", QVariantList{QVariantMap{{"uid", tapUUID}, {"drift", !minLatency}}}},
    };
    if (outputs.size() >= 2) d.insert("stacked", true);
    return d;
}

void ProcessTap::applyBufferSize() {
    const std::uint32_t requested = storedIOBufferFrames();
    if (requested == 0) return;
    std::uint32_t frames = requested;
    try {
        ValueRange range;
        readHALValueRange(kBufferFrameSizeRange, kScopeGlobal, range, aggregateID_);
        if (range.maximum > 0)
            frames = std::uint32_t(std::max(range.minimum, std::min(double(requested), range.maximum)));
    } catch (const HALError&) {
    }
    try {
        setUInt32Property(kBufferFrameSize, kScopeGlobal, frames, aggregateID_);
    } catch (const HALError&) {
    }
    std::uint32_t actual = 0;
    try {
        readHALProperty32(kBufferFrameSize, kScopeGlobal, actual, aggregateID_);
    } catch (const HALError&) {
        actual = 0;
    }
    log_.notice("BUFCHK requested=%u actual=%u", requested, actual);
}

void ProcessTap::checkStreamFormat() {
    StreamFormat format;
    try {
        readHALStreamFormat(kStreamFormat, kScopeOutput, format, aggregateID_);
    } catch (const HALError&) {
        return;
    }
    state_.isFloat32 = format.formatID == kFormatLinearPCM && (format.formatFlags & kFormatFlagIsFloat) &&
                       format.bitsPerChannel == 32;
    if (!state_.isFloat32) log_.error("Aggregate stream is not Float32 PCM; gain disabled, passing through");
}

void ProcessTap::teardown() {
    if (!AudioHardware::isInstalled()) return;
    AudioHardware& hw = AudioHardware::installed();
    if (aggregateID_ != 0) {
        if (procID_) {
            hw.stopDevice(aggregateID_, *procID_);  // returns once no IO call is in flight
            hw.destroyIOProc(aggregateID_, *procID_);
        }
        hw.destroyAggregateDevice(aggregateID_);
    }
    if (tapID_ != 0) hw.destroyProcessTap(tapID_);
    procID_.reset();
    tapID_ = 0;
    aggregateID_ = 0;
    running_ = false;
}

void ProcessTap::stop() {
    teardown();
    drainTask_.cancel();
    drainDiagnostics();
}

void ProcessTap::drainDiagnostics() {
    IODiagnostic d;
    while (state_.diagnostics.pop(d)) log_.notice("%s", qPrintable(d.text()));
}

bool ProcessTap::isProcessOutputting() const {
    AudioHardware& hw = AudioHardware::installed();
    for (AudioObjectID id : processObjectIDs_) {
        std::uint32_t running = 0;
        std::uint32_t size = sizeof(running);
        if (hw.propertyData(id, {kProcessIsRunningOutput, kScopeGlobal, kElementMain}, size, &running) == kStatusOK &&
            running != 0)
            return true;
    }
    return false;
}

bool ProcessTap::isAggregateAlive() const {
    if (aggregateID_ == 0) return false;
    try {
        std::uint32_t alive = 0;
        readHALProperty32(kDeviceIsAlive, kScopeGlobal, alive, aggregateID_);
        return alive != 0;
    } catch (const HALError&) {
        return false;
    }
}

}  // namespace quellor
