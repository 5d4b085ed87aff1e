// Recording the MAIN mix: starting and stopping a recording, the auto-record switch and its
// per-tick check, and which side of the fader the taps record.

#include <QFileInfo>

#include "audio/HALError.h"
#include "audio/IOBufferFrames.h"
#include "audio/HALProperties.h"
#include "base/Logger.h"
#include "base/UserDefaults.h"
#include "engine/MainRecorder.h"
#include "engine/MixerEngine.h"
#include "platform/AudioConstants.h"

namespace quellor {

namespace {

const Logger log("MixerEngine");
constexpr double kDefaultCaptureRate = 48000.0;
const QString kAutoRecKey = QStringLiteral("autoRec");
const QString kRecordPreFaderKey = QStringLiteral("recordPreFader");

}  // namespace

void MixerEngine::setRecorder(MainRecorder* recorder) {
    recorder_ = recorder;
    if (recorder_) recorder_->setStopRequestHandler(alive_.guard([this] { stopRecording(); }));
    taps_.setMainLane(mainLane());
}

MixSink* MixerEngine::mainLane() const { return recorder_ ? &recorder_->mainLane() : nullptr; }

void MixerEngine::followRecordSource() {
    // Taps built later read the setting when they are built.
    connect(&defaults_, &UserDefaults::changed, this, [this](const QString& key) {
        if (key == kRecordPreFaderKey) applyRecordSource();
    });
}

ProcessTap::DeviceSettings MixerEngine::tapDeviceSettings() const {
    return {defaults_.boolOr(QStringLiteral("minLatencyMode"), false), storedIOBufferFrames(defaults_)};
}

bool MixerEngine::recordsPreFader() const {
    return defaults_.boolOr(kRecordPreFaderKey, false);
}

void MixerEngine::applyRecordSource() {
    taps_.setRecordPre(recordsPreFader());
}

void MixerEngine::setAutoRec(bool on) {
    const bool changed = assignIfChanged(isAutoRec_, on);
    if (changed) emit isAutoRecChanged();
    defaults_.setBool(kAutoRecKey, on);
    if (!changed || on || isRecording_) return;
    // Switched off with no recording of the user's own: the capture (and a take that auto-record
    // opened) ends here; nothing else would ever close it.
    if (recorder_) recorder_->stopCapture();
    taps_.scheduleCoverageDrop();
}

void MixerEngine::setRecording(bool on) {
    if (assignIfChanged(isRecording_, on)) emit isRecordingChanged();
}

double MixerEngine::mainDeviceRate() const {
    double rate = kDefaultCaptureRate;
    const auto device = currentOutputDevice();
    if (!device) return rate;
    try {
        readHALProperty64(hal::kNominalSampleRate, hal::kScopeGlobal, rate, device->id);
    } catch (const HALError&) {
        rate = kDefaultCaptureRate;
    }
    return rate > 0 ? rate : kDefaultCaptureRate;
}

void MixerEngine::checkAutoRecording() {
    if (!isAutoRec_ || !recorder_ || isShutDown_) return;
    if (!recorder_->isCapturing()) {
        if (!currentOutputDevice()) return;  // the next tick looks again
        startAutoRecording();
    }
    if (recorder_->isCapturing()) recorder_->autoRecordTick();
}

void MixerEngine::startAutoRecording() {
    if (!isAutoRec_ || !recorder_ || recorder_->isCapturing()) return;
    if (!currentOutputDevice()) {
        log.info("Auto-rec waiting for an output device");
        return;
    }
    recorder_->startCapture(mainDeviceRate());
    // With auto-record on, every playing application gets a tap, so the whole mix is heard.
    taps_.rebuild();
}

void MixerEngine::startRecording() {
    if (isRecording_ || !recorder_ || isShutDown_) return;
    const bool startedCapture = !recorder_->isCapturing();
    if (startedCapture) recorder_->startCapture(mainDeviceRate());
    const auto take = recorder_->openTake();
    if (!take) {
        log.error("Recording could not be started");
        if (startedCapture && !isAutoRec_) recorder_->stopCapture();
        return;
    }
    if (assignIfChanged(recordingURL_, std::optional<QString>(QFileInfo(*take).absolutePath())))
        emit recordingURLChanged();
    setRecording(true);
    // Every playing application gets a tap now; the rebuild also pushes the application list.
    taps_.rebuild();
}

void MixerEngine::stopRecording() {
    if (!isRecording_) return;
    setRecording(false);
    if (recorder_) {
        recorder_->closeTake(0, true);
        if (!isAutoRec_) recorder_->stopCapture();
        if (recordingURL_) recorder_->pruneRecordings(*recordingURL_);
    }
    taps_.scheduleCoverageDrop();
    companion_.sendAppList();
}

void MixerEngine::toggleRecording() {
    if (isRecording_) {
        stopRecording();
    } else {
        startRecording();
    }
}

}  // namespace quellor
