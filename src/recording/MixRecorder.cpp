#include "recording/MixRecorder.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <cmath>

#include "recording/RecordingFolder.h"
#include "recording/RecordingRetention.h"

namespace quellor {

MixRecorder::MixRecorder(HostClock hostClock, qint64 sizeCeilingBytes)
    : hostClock_(std::move(hostClock)), mainLane_("MAIN", true, sizeCeilingBytes) {
    mainLane_.setSizeCeilingHandler([this](int serial) { onSizeCeiling(serial); });
    mainLane_.setRescueHandler([this](const RecordingLane::Rescue& rescue) { onRescue(rescue); });
    mainLane_.setRescueFolder(QDir::homePath());
}

void MixRecorder::startCapture(double sampleRate) {
    if (isCapturing_) return;
    sampleRate_ = sampleRate;
    startHostTime_ = hostClock_();
    isCapturing_ = true;
    signalSeenUpTo_ = -1;
    autoRetryAtFrame_ = 0;
    autoRetryDelay_ = kAutoTakeRetrySeconds;
    mainLane_.start(startHostTime_, sampleRate_);
    log_.info("Capture running @ %f Hz", sampleRate_);
}

void MixRecorder::stopCapture() {
    if (!isCapturing_) return;
    closeTake(0, true);
    isCapturing_ = false;
    mainLane_.stop();
    log_.info("Capture stopped");
}

QString MixRecorder::uniqueTakePath(const QString& folder, const QDateTime& when) {
    const QDir dir(folder);
    const QString stem = "Quellor " + when.toString("yyyy-MM-dd HH-mm-ss");
    QString path = dir.filePath(stem + ".wav");
    for (int n = 2; QFileInfo::exists(path); ++n) path = dir.filePath(QString("%1 %2.wav").arg(stem).arg(n));
    return path;
}

std::optional<QString> MixRecorder::openTake(const QString& folder, bool withPreRoll) {
    if (!isCapturing_ || isTakeOpen_) return std::nullopt;
    QDir().mkpath(folder);
    const QString path = uniqueTakePath(folder, QDateTime::currentDateTime());
    if (!mainLane_.openTake(path, withPreRoll)) return std::nullopt;
    isTakeOpen_ = true;
    autoTake_ = false;
    recordingFile_ = path;
    log_.info("Recording to %s", qPrintable(path));
    return path;
}

std::optional<QString> MixRecorder::openTake() {
    if (isTakeOpen_ && autoTake_) {
        autoTake_ = false;  // silence no longer ends it
        return recordingFile_;
    }
    return openInRecordingFolder(false);
}

std::optional<QString> MixRecorder::openInRecordingFolder(bool withPreRoll) {
    const auto chosen = RecordingFolder::resolve();
    auto opened = openTake(chosen.value_or(RecordingFolder::containerFolder()), withPreRoll);
    RecordingFolder::endAccess(chosen);
    return opened;
}

void MixRecorder::pruneRecordings(const QString& folder) { RecordingRetention::prune(folder); }

void MixRecorder::closeTake(qint64 endFrame, bool keepAll) {
    if (!isTakeOpen_) return;
    isTakeOpen_ = false;
    autoTake_ = false;
    mainLane_.close(endFrame, keepAll);
    // A take whose file vanished lives on in the file that kept it; a lost one (logged by the lane)
    // has no file, and its old path may name someone else's.
    const QString path = mainLane_.takePath();
    if (!path.isEmpty()) recordingFile_ = path;
    mainLane_.discardIfSilent();  // logs its own line when it removes the take
    // A file of no more than a header holds no audio, whatever the lane heard (a take cut back to
    // its start, say).
    if (!path.isEmpty()) {
        const QFileInfo info(path);
        if (info.exists() && info.size() <= 128) {
            QFile::remove(path);
            log_.info("Recording closed, nothing was heard: file removed");
            return;
        }
    }
    log_.info("Recording closed");
}

void MixRecorder::autoRecordTick() {
    if (!isCapturing_) return;
    const qint64 now = mainLane_.highWater();
    const qint64 lastSignal = mainLane_.lastSignalFrame();
    const bool freshSignal = lastSignal > signalSeenUpTo_;
    signalSeenUpTo_ = std::max(signalSeenUpTo_, lastSignal);
    const double rate = std::max(sampleRate_, 1.0);

    if (!isTakeOpen_) {
        if (!freshSignal || now < autoRetryAtFrame_) return;
        if (openInRecordingFolder(true)) {
            autoTake_ = true;
            autoRetryDelay_ = kAutoTakeRetrySeconds;
        } else {
            autoRetryAtFrame_ = now + qint64(autoRetryDelay_ * rate);
            autoRetryDelay_ = std::min(2 * autoRetryDelay_, kAutoTakeRetryMaxSeconds);
        }
        return;
    }
    if (!autoTake_) return;
    const qint64 silentSince = std::max(lastSignal + 1, mainLane_.takeStartFrame());
    if (now - silentSince >= qint64(kAutoTakeSilenceSeconds * rate)) {
        closeTake(silentSince + qint64(kAutoTakeTailSeconds * rate), false);
    }
}

void MixRecorder::onRescue(const RecordingLane::Rescue& rescue) {
    if (!rescue.keptPath.isEmpty() && rescue.takeSerial == mainLane_.takeSerial()) recordingFile_ = rescue.keptPath;
    if (rescueHandler_) rescueHandler_(rescue);
}

void MixRecorder::onSizeCeiling(int takeSerial) {
    if (!isTakeOpen_ || takeSerial != mainLane_.takeSerial()) return;  // already closed
    if (requestStopRecording_) requestStopRecording_();
    if (isTakeOpen_ && takeSerial == mainLane_.takeSerial()) closeTake(0, true);
}

}  // namespace quellor
