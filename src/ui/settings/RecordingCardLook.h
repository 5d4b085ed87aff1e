#pragma once
// How the two recording cards of the console's top bar are drawn: their frame and their colours.
//
// Values only: any thread.
#include <QColor>

namespace quellor {

struct RecordingCardLook {
    static constexpr double kHeight = 28;
    static constexpr double kCornerRadius = 5;
    static inline const QColor kRecRed = QColor::fromRgb(232, 87, 79);
    static inline const QColor kAmber = QColor::fromRgb(240, 196, 106);
    // The frame's outline: REC red while recording, else the card's resting colour.
    static QColor outline(bool isRecording, const QColor& resting) { return isRecording ? kRecRed : resting; }
};

}  // namespace quellor
