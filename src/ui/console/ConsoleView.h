#pragma once
// The console's grid of strips: a scroll area whose content holds one cell per slot shown (the
// first "consoleStrips" of the console's slots), placed by ConsoleLayout in the viewport's width
// (a vertical scroll bar narrows it). A filled cell is the source's strip; an empty cell is the
// placeholder strip with a "plus" button over it that opens the slot's source menu. Every cell
// takes the console's drops ("vesk-slot:" / "vesk-app:" plain text), outlined while a drag hovers
// over it. While the console is locked ("consoleLocked") the grid ignores the pointer, strips,
// menus, drags and drops alike, and only scrolling stays.
//
// The cells are rebuilt in one posted pass per burst of engine changes. A cell is identified by its
// slot index and source, and keeps its strip widget across rebuilds while both stay, so a fader
// drag or a meter's peak hold survives the rebuild that the drag itself causes.
//
// Threads: main thread only.

#include <QScrollArea>
#include <memory>
#include <optional>
#include <vector>

#include "ui/console/ConsoleLayout.h"
#include "ui/console/ConsoleSlotCell.h"
#include "ui/console/MeterRepaintClock.h"
#include "ui/console/StripDropHighlight.h"

class QToolButton;

namespace quellor {

class ConsoleLock;
class ConsoleStripWidget;
class MIDIMappingManager;
class MixerEngine;
class PromptSheet;
class ThemeController;
class UserDefaults;
class ViewRefresh;

class ConsoleView : public QScrollArea {
    Q_OBJECT
public:
    // `mappings` none: the view reads the stored MIDI mappings through a manager of its own.
    ConsoleView(MixerEngine& engine, MIDIMappingManager* mappings, UserDefaults& defaults, ThemeController& themes,
                QWidget* parent = nullptr);
    ~ConsoleView() override;

    // The strip of slot `index` (0-based), while it is shown; an empty slot's is its placeholder.
    ConsoleStripWidget* strip(int index) const;
    int stripCount() const { return int(cells_.size()); }
    const ConsoleLayout& layout() const { return layout_; }
    const StripDropHighlight& dropHighlight() const { return highlight_; }
    // The grid's content: what the lock makes ignore the pointer (scrolling stays with the area).
    QWidget* grid() const { return grid_; }

    // The slot whose cell holds `point` of the grid's content, if any.
    std::optional<int> slotAt(QPoint point) const;

    // The drop machinery, reachable without a drag session: `payload` hovers over / lands on the
    // slot at `point` of the grid.
    void dragEnteredAt(QPoint point);
    void dragLeft();
    void droppedAt(QPoint point, const QString& payload);

signals:
    // After every pass that placed the cells (rebuild, resize): the main mute button follows.
    void cellsPlaced();

protected:
    bool viewportEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Cell {
        ConsoleSlotCell slot;
        ConsoleStripWidget* strip = nullptr;
        QToolButton* plus = nullptr;  // empty cells only
    };
    class Outline;

    void rebuild();
    Cell takeSpare(const ConsoleSlotCell& slot);
    void relayout();
    void rename(const QString& id);
    void openSourceMenu(int index, QToolButton* anchor);
    void updatePlusLook();
    void applyLock();
    void showHighlight();

    MixerEngine& engine_;
    std::unique_ptr<MIDIMappingManager> ownMappings_;
    MIDIMappingManager& mappings_;
    UserDefaults& defaults_;
    ThemeController& themes_;
    MeterRepaintClock clock_;
    ViewRefresh* refresh_;
    PromptSheet* prompt_;
    QWidget* grid_;
    Outline* outline_;
    ConsoleLock* lock_;
    ConsoleLayout layout_;
    StripDropHighlight highlight_;
    std::vector<Cell> cells_;
    std::vector<Cell> spares_;  // widgets of cells that went, hidden until a new cell takes them
};

}  // namespace quellor
