#pragma once
// One channel strip of the console as a widget: from top to bottom the level readout, the button
// area, the fader with its meter, and the title block. It paints what its StripModel and the logic
// beside it (StripLook, StripReadout, StripButtons, StripTitleBlock, MIDIStatusBadge) say, and
// hands every action to the model's closures, the strip's callbacks or the menus' logic:
//
//   readout       a click switches every strip between % and dB (one stored setting); a right
//                 click opens the fade menu
//   button area   CUE, SOLO, MUTE with the CUE badge; on the MAIN strip an empty area whose
//                 rectangle is where the main mute button goes; otherwise empty
//   fader         drags, fine drags and double clicks go to the model's setter
//   title block   colour bar, name, group and kind tags, the route line that opens the route menu;
//                 a right click opens rename / colour / group / fades; a drag carries the slot's
//                 payload ("vesk-slot:<index>") as plain text
//   elsewhere     a right click opens the strip's context menu (clear slot, source menu, MIDI learn)
//
// A strip keeps its widgets across rebuilds (setStrip), so a drag in progress and the meter's peak
// hold survive the rebuild that a fader move itself causes. An inactive strip is drawn faded.
//
// Threads: main thread only.

#include <QWidget>
#include <optional>

#include "ui/console/ConsoleMetrics.h"
#include "ui/console/StripContextMenu.h"
#include "ui/console/StripLook.h"
#include "ui/console/StripModel.h"
#include "ui/console/StripTitleBlock.h"

namespace quellor {

class ConsoleFaderWidget;
class ConsoleFades;
class MIDIBadgeLabel;
class MIDIMappingManager;
class MixerEngine;
class StripButtonRow;
class StripButtonAreaWidget;
class MeterRepaintClock;
class StripReadoutWidget;
class StripTitleBlockWidget;
class ThemeController;
class UserDefaults;

// What every strip of a console shares.
struct ConsoleStripEnvironment {
    MixerEngine& engine;
    MIDIMappingManager& mappings;
    UserDefaults& defaults;
    ThemeController& themes;
    MeterRepaintClock& clock;
    ConsoleFades& fades;
    SourceMenuBuilder sourceMenu;  // the source menu of a slot, for the strip's context menu
};

class ConsoleStripWidget : public QWidget {
    Q_OBJECT
public:
    // The table's entry, under the name the whole-program tests use.
    static constexpr int kButtonAreaHeight = ConsoleMetrics::Strip::kButtonAreaHeight;

    explicit ConsoleStripWidget(ConsoleStripEnvironment environment, QWidget* parent = nullptr);

    // Shows `model`. `slot`: the slot the strip stands in (its drag payload and context menu);
    // none for a strip that stands in no slot.
    void setStrip(StripModel model, std::optional<int> slot, bool compact, StripCallbacks callbacks);
    const StripModel& model() const { return model_; }
    std::optional<QString> dragPayload() const;

    // The strip's context menu as it would open now (the readout and title block have their own).
    MenuModel contextMenu() const;
    // The button area of the MAIN strip, over which the main mute button goes; none on any other.
    std::optional<QRect> mainMuteAnchor() const;

    ConsoleFaderWidget* fader() const { return fader_; }
    StripButtonRow* buttons() const { return buttons_; }

protected:
    void resizeEvent(QResizeEvent*) override;
    void contextMenuEvent(QContextMenuEvent*) override;

private:
    void refresh();
    void relayout();

    ConsoleStripEnvironment env_;
    StripModel model_;
    std::optional<int> slot_;
    bool compact_ = false;
    StripCallbacks callbacks_;
    StripLook look_;

    StripReadoutWidget* readout_;
    StripButtonAreaWidget* buttonArea_;
    StripButtonRow* buttons_;
    MIDIBadgeLabel* cueBadge_;
    ConsoleFaderWidget* fader_;
    StripTitleBlockWidget* title_;
};

}  // namespace quellor
