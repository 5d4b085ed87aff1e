#include "ui/settings/RecCard.h"

#include <cmath>
#include <numbers>

#include "base/UserDefaults.h"
#include "engine/MixerEngine.h"
#include "engine/RouteID.h"
#include "remote/MIDIMappingManager.h"
#include "ui/console/StripContextMenu.h"
#include "ui/settings/LatestRecordingModel.h"
#include "ui/settings/RecordingCardLook.h"
#include "ui/settings/SettingsMetrics.h"

namespace quellor {

RecCard::RecCard(MixerEngine& engine, MIDIMappingManager* midi, UserDefaults& defaults,
                 LatestRecordingModel& recordings, FolderChooser chooseFolder)
    : engine_(&engine), midi_(midi), defaults_(&defaults), recordings_(&recordings), chooseFolder_(std::move(chooseFolder)) {}

bool RecCard::isRecording() const { return engine_ && engine_->isRecording(); }

double RecCard::ballOpacity(bool isRecording, double seconds) {
    if (!isRecording) return 1.0;
    return 0.75 + 0.25 * std::sin(2 * std::numbers::pi * kPulseHertz * seconds);
}

QRectF RecCard::ballRect(QSizeF size) {
    const double d = SettingsMetrics::RecCard::kBallDiameter;
    return {(size.width() - d) / 2, (size.height() - d) / 2, d, d};
}

QString RecCard::ballLabel() const {
    return isRecording() ? QStringLiteral("Stop recording") : QStringLiteral("Record the main mix");
}

QString RecCard::ballHelp() const {
    return isRecording() ? QStringLiteral("Stop recording") : QStringLiteral("Record the main mix to one file");
}

void RecCard::pressBall() const {
    if (engine_) engine_->toggleRecording();
}

MenuModel RecCard::ballMenu() const {
    MenuModel menu;
    if (midi_)
        menu = midiLearnItems(MIDILearnTitles{QStringLiteral("Waiting for a MIDI button…"), QStringLiteral("Learn REC MIDI"),
                                             QStringLiteral("Re-learn REC MIDI"), QStringLiteral("Clear REC MIDI")},
                              RouteID::kRecordTransport, *midi_);
    if (!menu.empty()) menu.push_back(MenuItem::separator());
    menu.push_back(MenuItem::command(QStringLiteral("Choose Recording Folder…"),
                                     [choose = chooseFolder_, recordings = recordings_] {
                                         // A cancelled choice changes nothing.
                                         if (choose && choose() && recordings) recordings->refresh();
                                     }));
    return menu;
}

bool RecCard::recordsPre() const { return defaults_ && defaults_->boolOr(kRecordPreFaderKey, false); }

SlideSwitchWidget::Options RecCard::sourceSwitch(const Palette& palette) const {
    const bool pre = recordsPre();
    SlideSwitchWidget::Options options;
    options.left = QStringLiteral("PRE");
    options.right = QStringLiteral("POST");
    options.isRight = !pre;
    options.rightLamp = RecordingCardLook::kRecRed;
    options.label = pre ? QStringLiteral("Recording source: PRE fader. Switch to POST")
                        : QStringLiteral("Recording source: POST fader. Switch to PRE");
    options.identifier = QStringLiteral("record-source");
    options.help = isRecording() ? QStringLiteral("The source cannot change during a recording")
                                 : QStringLiteral("What REC records: PRE = each source before its fader and mute, "
                                                  "POST = the mix as you hear it");
    options.captionColor = palette.textMuted;
    options.set = [engine = engine_, defaults = defaults_](bool isRight) {
        // The taps of a running take keep the side they record.
        if (!defaults || (engine && engine->isRecording())) return;
        defaults->setBool(kRecordPreFaderKey, !isRight);
    };
    return options;
}

}  // namespace quellor
