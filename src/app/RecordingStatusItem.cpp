#include "app/RecordingStatusItem.h"

#include <QAction>
#include <QMenu>

#include "engine/MixerEngine.h"
#include "recording/LatestRecording.h"
#include "recording/MixRecorder.h"

namespace quellor {

void RecordingStatusItem::stopRecording() {
    if (engine_) engine_->stopRecording();
}

QString RecordingStatusItem::elapsedTitle(qint64 frames, double sampleRate) {
    return QStringLiteral("Recording — ") + LatestRecording::clockText(frames, sampleRate);
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
