#pragma once
// The logic of the two recording cards of the console's top bar.
//
// RecCardModel: the REC ball, which starts and stops a recording of the MAIN mix through the
// engine (as a learnt REC MIDI button and "transport:record" do), its menu (MIDI learn of the REC
// button, the recordings folder) and the PRE/POST switch of what a recording takes, stored under
// "recordPreFader". The switch does not move while a take runs: the taps of a running take keep
// the side they record.
//
// MainRecordingCardModel: the running take's clock while recording, otherwise the latest take
// (the picked one when one is picked) as a small waveform with its length, dragged out as its file,
// or a dimmed "0:00" when nothing was recorded yet.
//
// Neither keeps state of its own: each answer is read from the engine, the recorder, the recordings
// model and the user defaults at the moment it is asked for.
//
// Threads: main thread only.

#include <QColor>
#include <QPointer>
#include <QRectF>
#include <QString>

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "ui/console/SlideSwitchWidget.h"
#include "ui/style/MenuModel.h"
#include "ui/style/ThemeMode.h"

namespace quellor {

class LatestRecordingModel;
class MIDIMappingManager;
class MixRecorder;
class MixerEngine;
class UserDefaults;

struct RecordingCardLook {
    static constexpr double kHeight = 28;
    static constexpr double kCornerRadius = 5;
    static inline const QColor kRecRed = QColor::fromRgb(232, 87, 79);
    static inline const QColor kAmber = QColor::fromRgb(240, 196, 106);
    // The frame's outline: REC red while recording, else the card's resting colour.
    static QColor outline(bool isRecording, const QColor& resting) { return isRecording ? kRecRed : resting; }
};

class RecCardModel {
public:
    static constexpr double kSpacing = 4;
    static constexpr double kBallDiameter = 10;
    static constexpr double kBallAreaWidth = 28;
    static constexpr double kBallAreaHeight = 22;
    static constexpr double kSwitchTrailing = 8;
    static constexpr double kPulseHertz = 1.1;
    static constexpr double kPulseFrameSeconds = 0.05;
    static inline const QString kRecordPreFaderKey = QStringLiteral("recordPreFader");

    // Asks the user for a recordings folder and remembers it; none when the user cancels.
    using FolderChooser = std::function<std::optional<QString>()>;

    // `midi` may be null (no MIDI learn on offer then).
    RecCardModel(MixerEngine& engine, MIDIMappingManager* midi, UserDefaults& defaults, LatestRecordingModel& recordings,
                 FolderChooser chooseFolder);

    bool isRecording() const;
    // The ball's opacity: 1 at rest; while recording a 1.1 Hz pulse between 0.5 and 1 at `seconds`.
    static double ballOpacity(bool isRecording, double seconds);
    QString ballLabel() const;
    QString ballHelp() const;
    // Starts a recording, or stops the one running.
    void pressBall() const;
    MenuModel ballMenu() const;

    bool recordsPre() const;
    SlideSwitchWidget::Options sourceSwitch(const Palette& palette) const;
    // The switch takes no request while recording and is then drawn at half opacity.
    bool sourceSwitchEnabled() const { return !isRecording(); }
    double sourceSwitchOpacity() const { return isRecording() ? 0.5 : 1.0; }

private:
    QPointer<MixerEngine> engine_;
    QPointer<MIDIMappingManager> midi_;
    QPointer<UserDefaults> defaults_;
    QPointer<LatestRecordingModel> recordings_;
    FolderChooser chooseFolder_;
};

class MainRecordingCardModel {
public:
    static constexpr double kDividerWidth = 1;
    static constexpr double kFolderButtonWidth = 24;
    static constexpr double kLatestPadding = 5;
    static constexpr double kLengthMinWidth = 38;
    static constexpr QSizeF kCanvasSize{35, 15};
    static constexpr double kCanvasLeading = 8;
    // The take area is as wide in every state (at least the clock's 72 and the take's 86), so that
    // the card keeps its size when a take starts or ends.
    static constexpr double kAreaWidth = 2 * kLatestPadding + kCanvasLeading + 35 + kLengthMinWidth;
    static constexpr int kWaveformBars = 16;
    static constexpr double kEmptyOpacity = 0.4;
    static constexpr double kClockInterval = 1.0;

    enum class State { Clock, Empty, Latest };

    // `recorder` may be null (the clock then stands at 00:00).
    MainRecordingCardModel(MixerEngine& engine, const MixRecorder* recorder, LatestRecordingModel& recordings);

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
