#include "app/RecordingStatusItem.h"

#include <QAction>
#include <QMenu>

#include "engine/MixerEngine.h"
#include "recording/MixRecorder.h"

namespace quellor {

void RecordingStatusItem::stopRecording() {
    if (engine_) engine_->stopRecording();
}

QString RecordingStatusItem::elapsedTitle(qint64 frames, double sampleRate) {
    const auto seconds = qint64(double(frames) / std::max(sampleRate, 1.0));
    return QStringLiteral("Recording — %1:%2")
        .arg(seconds / 60, 2, 10, QLatin1Char('0'))
        .arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

void RecordingStatusItem::refreshElapsedTime(QMenu& menu, const MixRecorder& recorder) {
    const auto actions = menu.actions();
    for (QAction* action : actions) {
        if (action->data().toInt() == kElapsedTimeTag) {
            action->setText(elapsedTitle(recorder.capturedFrames(), recorder.sampleRate()));
            return;
        }
    }
}

void RecordingStatusItem::refreshOnOpen(QMenu& menu, const MixRecorder& recorder) {
    QObject::connect(&menu, &QMenu::aboutToShow, &menu, [&menu, &recorder] { refreshElapsedTime(menu, recorder); });
}

}  // namespace quellor
