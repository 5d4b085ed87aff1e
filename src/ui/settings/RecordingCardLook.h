#pragma once
// The colours of the two recording cards of the console's top bar (their frame is in
// SettingsMetrics).
//
// Values only: any thread.
#include <QColor>

namespace quellor {

struct RecordingCardLook {
    static inline const QColor kRecRed = QColor::fromRgb(232, 87, 79);
    static inline const QColor kAmber = QColor::fromRgb(240, 196, 106);
    // The frame's outline: REC red while recording, else the card's resting colour.
    static QColor outline(bool isRecording, const QColor& resting) { return isRecording ? kRecRed : resting; }
};

}  // namespace quellor
