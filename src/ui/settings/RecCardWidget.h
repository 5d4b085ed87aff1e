#pragma once
// The REC card of the console's top bar as a widget: it paints what RecCard says and forwards
// clicks and menus to it. The REC ball ("rec-ball"; a click starts or stops a recording, its
// context menu learns the REC MIDI button and chooses the recordings folder) and, unless compact,
// the PRE/POST switch ("record-source").
//
// Threads: main thread only. The engine, the MIDI mappings, the defaults, the recordings model and
// the theme controller must outlive the card.

#include <QAbstractButton>
#include <QWidget>

#include "base/Scheduler.h"
#include "ui/settings/RecCard.h"

namespace quellor {

class RecBallWidget;
class ThemeController;
class SlideSwitchWidget;

// Asks for a recordings folder with the desktop's folder dialog and remembers the choice.
std::optional<QString> chooseRecordingFolder(QWidget* parent);

class RecCardWidget : public QWidget {
    Q_OBJECT
public:
    // `chooseFolder` defaults to chooseRecordingFolder() over this card.
    RecCardWidget(MixerEngine& engine, MIDIMappingManager* midi, UserDefaults& defaults, LatestRecordingModel& recordings,
                  ThemeController& themes, bool compact, RecCard::FolderChooser chooseFolder = {},
                  QWidget* parent = nullptr);
    ~RecCardWidget() override;

    const RecCard& model() const { return model_; }
    QAbstractButton* ball() const;
    SlideSwitchWidget* sourceSwitch() const { return switch_; }  // none when compact
    // The ball's menu as it would open now.
    MenuModel ballMenu() const { return model_.ballMenu(); }

    // As high as the card, whatever its row of children asks for.
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent*) override;

private:
    void follow();

    ThemeController& themes_;
    RecCard model_;
    RecBallWidget* ball_;
    SlideSwitchWidget* switch_ = nullptr;
    TaskSlot pulse_;
};

}  // namespace quellor
