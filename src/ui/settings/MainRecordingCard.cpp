#include "ui/settings/MainRecordingCard.h"

#include <algorithm>

#include "engine/MixerEngine.h"
#include "recording/LatestRecording.h"
#include "recording/MixRecorder.h"
#include "ui/settings/LatestRecordingModel.h"
#include "ui/settings/SettingsMetrics.h"

namespace quellor {

MainRecordingCard::MainRecordingCard(MixerEngine& engine, const MixRecorder* recorder,
                                     LatestRecordingModel& recordings)
    : engine_(&engine), recorder_(recorder), recordings_(&recordings) {}

MainRecordingCard::State MainRecordingCard::state() const {
    if (engine_ && engine_->isRecording()) return State::Clock;
    if (!recordings_ || !recordings_->info()) return State::Empty;
    return State::Latest;
}

QString MainRecordingCard::clockText() const {
    return recorder_ ? LatestRecording::clockText(recorder_->capturedFrames(), recorder_->sampleRate())
                     : LatestRecording::clockText(0, 1);
}

QString MainRecordingCard::lengthText() const {
    if (!recordings_ || !recordings_->info()) return {};
    return LatestRecording::durationText(recordings_->info()->duration);
}

QString MainRecordingCard::latestAccessibleLabel() const {
    return QStringLiteral("Latest recording, %1, ready to drag").arg(lengthText());
}

std::optional<QString> MainRecordingCard::dragFile() const {
    if (!recordings_ || !recordings_->info()) return std::nullopt;
    return recordings_->info()->file;
}

QRectF MainRecordingCard::canvasRect(double areaHeight) {
    using M = SettingsMetrics::MainRecordingCard;
    const QSizeF size = M::kCanvasSize;
    return {M::kLatestPadding + M::kCanvasLeading, (areaHeight - size.height()) / 2, size.width(), size.height()};
}

QRectF MainRecordingCard::lengthRect(const QRectF& canvas, double areaHeight) {
    return {canvas.right(), 0, SettingsMetrics::MainRecordingCard::kLengthMinWidth, areaHeight};
}

QRectF MainRecordingCard::folderSymbolRect(QSizeF size) {
    const double s = SettingsMetrics::MainRecordingCard::kFolderSymbolSize;
    return {(size.width() - s) / 2, (size.height() - s) / 2, s, s};
}

std::vector<QRectF> MainRecordingCard::waveformBars(const std::vector<std::uint8_t>& peaks, const QRectF& canvas) {
    using M = SettingsMetrics::MainRecordingCard;
    const std::vector<double> envelope = LatestRecording::waveformEnvelope(peaks, kWaveformBars);
    const double total = double(envelope.size()) * M::kBarPitch - (M::kBarPitch - M::kBarWidth);
    const double first = canvas.left() + (canvas.width() - total) * 0.5;
    const double mid = canvas.center().y();
    std::vector<QRectF> bars;
    bars.reserve(envelope.size());
    for (std::size_t i = 0; i < envelope.size(); ++i) {
        const double level = std::clamp(envelope[i], 0.0, 1.0);
        const double h = std::max(M::kBarMinHeight, level * std::min(canvas.height(), M::kBarMaxHeight));
        bars.emplace_back(first + double(i) * M::kBarPitch, mid - h / 2, M::kBarWidth, h);
    }
    return bars;
}

}  // namespace quellor
