#pragma once
// The logic of the REC card of the console's top bar: the REC ball, which starts and stops a
// recording of the MAIN mix through the engine (as a learnt REC MIDI button and "transport:record"
// do), its menu (MIDI learn of the REC button, the recordings folder) and the PRE/POST switch of
// what a recording takes, stored under "recordPreFader". The switch does not move while a take
// runs: the taps of a running take keep the side they record.
//
// It keeps no state of its own: each answer is read from the engine, the recordings model and the
// user defaults at the moment it is asked for.
//
// Threads: main thread only.

#include <QPointer>
#include <QRectF>
#include <QString>

#include <functional>
#include <optional>

#include "ui/console/SlideSwitchWidget.h"
#include "ui/style/MenuModel.h"
#include "ui/style/ThemeMode.h"

namespace quellor {

class LatestRecordingModel;
class MIDIMappingManager;
class MixerEngine;
class UserDefaults;

class RecCard {
public:
    static constexpr double kPulseHertz = 1.1;
    static constexpr double kPulseFrameSeconds = 0.05;
    static inline const QString kRecordPreFaderKey = QStringLiteral("recordPreFader");

    // Asks the user for a recordings folder and remembers it; none when the user cancels.
    using FolderChooser = std::function<std::optional<QString>()>;

    // `midi` may be null (no MIDI learn on offer then).
    RecCard(MixerEngine& engine, MIDIMappingManager* midi, UserDefaults& defaults, LatestRecordingModel& recordings,
            FolderChooser chooseFolder);

    bool isRecording() const;
    // The ball's opacity: 1 at rest; while recording a 1.1 Hz pulse between 0.5 and 1 at `seconds`.
    static double ballOpacity(bool isRecording, double seconds);
    // The ball in its area of `size`: centred.
    static QRectF ballRect(QSizeF size);
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

}  // namespace quellor
