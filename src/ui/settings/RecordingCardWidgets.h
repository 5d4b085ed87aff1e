#pragma once
// The two recording cards of the console's top bar as widgets: they paint what RecCardModel and
// MainRecordingCardModel say and forward clicks, menus and drags to them.
//
// RecCard: the REC ball ("rec-ball"; a click starts or stops a recording, its context menu learns
// the REC MIDI button and chooses the recordings folder) and, unless compact, the PRE/POST switch
// ("record-source").
// MainRecordingCard: the take's clock while recording, else the latest take ("export-card",
// dragged out as its file) or a dimmed 0:00, and the button that opens the recordings folder
// ("recordings-folder").
//
// Threads: main thread only. The engine, the MIDI mappings, the defaults, the recordings model,
// the recorder and the theme controller must outlive the cards.

#include <QAbstractButton>
#include <QWidget>

#include "base/Scheduler.h"
#include "recording/RecordingFolder.h"
#include "ui/settings/RecordingCards.h"

namespace quellor {

class ThemeController;
class SlideSwitchWidget;

// Asks for a recordings folder with the desktop's folder dialog and remembers the choice.
std::optional<QString> chooseRecordingFolder(QWidget* parent);

class RecCard : public QWidget {
    Q_OBJECT
public:
    // `chooseFolder` defaults to chooseRecordingFolder() over this card.
    RecCard(MixerEngine& engine, MIDIMappingManager* midi, UserDefaults& defaults, LatestRecordingModel& recordings,
            ThemeController& themes, bool compact, RecCardModel::FolderChooser chooseFolder = {}, QWidget* parent = nullptr);
    ~RecCard() override;

    const RecCardModel& model() const { return model_; }
    QAbstractButton* ball() const;
    SlideSwitchWidget* sourceSwitch() const { return switch_; }  // none when compact
    // The ball's menu as it would open now.
    MenuModel ballMenu() const { return model_.ballMenu(); }

    // As high as the card, whatever its row of children asks for.
    QSize sizeHint() const override { return {QWidget::sizeHint().width(), int(RecordingCardLook::kHeight)}; }

protected:
    void paintEvent(QPaintEvent*) override;

private:
    class Ball;
    void follow();

    ThemeController& themes_;
    RecCardModel model_;
    Ball* ball_;
    SlideSwitchWidget* switch_ = nullptr;
    TaskSlot pulse_;
};

class MainRecordingCard : public QWidget {
    Q_OBJECT
public:
    // `reveal` opens a folder; by default the desktop's file manager.
    MainRecordingCard(MixerEngine& engine, const MixRecorder* recorder, LatestRecordingModel& recordings,
                      ThemeController& themes, RecordingFolder::Opener reveal = {}, QWidget* parent = nullptr);
    ~MainRecordingCard() override;

    const MainRecordingCardModel& model() const { return model_; }
    QWidget* latestArea() const;
    QAbstractButton* folderButton() const;

    // As high as the card, whatever its row of children asks for.
    QSize sizeHint() const override { return {QWidget::sizeHint().width(), int(RecordingCardLook::kHeight)}; }

protected:
    void paintEvent(QPaintEvent*) override;

private:
    class LatestArea;
    class FolderButton;
    void follow();

    ThemeController& themes_;
    LatestRecordingModel& recordings_;
    MainRecordingCardModel model_;
    LatestArea* area_;
    FolderButton* folder_;
    TaskSlot clock_;
};

}  // namespace quellor
