#pragma once
// The logic of the MAIN recording card of the console's top bar: the running take's clock while
// recording, otherwise the latest take (the picked one when one is picked) as a small waveform with
// its length, dragged out as its file, or a dimmed "0:00" when nothing was recorded yet.
//
// It keeps no state of its own: each answer is read from the engine, the recorder and the
// recordings model at the moment it is asked for.
//
// Threads: main thread only.

#include <QPointer>
#include <QRectF>
#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

namespace quellor {

class LatestRecordingModel;
class MixRecorder;
class MixerEngine;

class MainRecordingCard {
public:
    static constexpr int kWaveformBars = 16;
    static constexpr double kEmptyOpacity = 0.4;
    static constexpr double kClockInterval = 1.0;

    enum class State { Clock, Empty, Latest };

    // `recorder` may be null (the clock then stands at 00:00).
    MainRecordingCard(MixerEngine& engine, const MixRecorder* recorder, LatestRecordingModel& recordings);

    State state() const;
    // "mm:ss" of the running take.
    QString clockText() const;
    // The length of the latest take, "m:ss"; empty without one.
    QString lengthText() const;
    QString latestAccessibleLabel() const;
    // The latest take's file, dragged out of the card; none without one.
    std::optional<QString> dragFile() const;
    // The waveform bars of `peaks` in a canvas: 16 envelope values, 1.5 wide at a 2.2 pitch, centred
    // both ways, at least 1.5 high. No peaks, no bars.
    static std::vector<QRectF> waveformBars(const std::vector<std::uint8_t>& peaks, const QRectF& canvas);
    // The waveform's canvas in a take area `areaHeight` high: after the padding and the canvas's
    // leading, centred from top to bottom.
    static QRectF canvasRect(double areaHeight);
    // The box of the length's text: from the canvas's right edge, as high as the take area.
    static QRectF lengthRect(const QRectF& canvas, double areaHeight);
    // The folder symbol in its button of `size`: centred.
    static QRectF folderSymbolRect(QSizeF size);

    static inline const QString kEmptyText = QStringLiteral("0:00");
    static inline const QString kEmptyLabel = QStringLiteral("No recording yet");
    static inline const QString kEmptyHelp = QStringLiteral("Nothing recorded yet: press the red ball");
    static inline const QString kLatestHelp = QStringLiteral("Drag the latest MAIN recording to the file manager or an audio application");
    static inline const QString kFolderLabel = QStringLiteral("Open the Recordings folder");
    static inline const QString kFolderHelp = QStringLiteral("Open the Recordings folder in the file manager");

private:
    QPointer<MixerEngine> engine_;
    const MixRecorder* recorder_;
    QPointer<LatestRecordingModel> recordings_;
};

}  // namespace quellor
