#pragma once
// The recording status item of the menu bar: its menu shows the elapsed time of the recording of
// the MAIN mix, refreshed each time the menu opens, and its stop command ends the recording.
// RecordingTray shows it in the desktop's tray.
//
// Threads: main thread only.
#include <QObject>
#include <QPointer>
#include <QString>

#include "engine/MixerEngine.h"

class QMenu;

namespace quellor {

class MixRecorder;

class RecordingStatusItem : public QObject {
    Q_OBJECT
public:
    // The tag (QAction::data) of the elapsed-time item in the item's menu.
    static constexpr int kElapsedTimeTag = 1;

    explicit RecordingStatusItem(QObject* parent = nullptr) : QObject(parent) {}

    void setEngine(MixerEngine* engine) { engine_ = engine; }
    // Stops the engine's recording; nothing when the engine is gone.
    void stopRecording();

    // "Recording — mm:ss" for `frames` captured at `sampleRate` (below 1 counts as 1); minutes are
    // not wrapped at 60.
    static QString elapsedTitle(qint64 frames, double sampleRate);
    // Sets the title of the menu's elapsed-time item from the recorder; nothing without the item.
    static void refreshElapsedTime(QMenu& menu, const MixRecorder& recorder);
    // Makes `menu` refresh its elapsed-time item each time it opens.
    static void refreshOnOpen(QMenu& menu, const MixRecorder& recorder);

private:
    QPointer<MixerEngine> engine_;
};

}  // namespace quellor
