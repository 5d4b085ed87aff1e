#pragma once
// The MAIN card as a widget. It paints what MainBusCard says and forwards input: the level row
// writes through the default output's volume, the context menu goes to MIDI learn. It rebuilds once
// per burst of engine, device, pairing, mapping or theme changes.
//
// The card puts itself on the drop-zone board under MAIN; the host reports the bus a dragged device
// is over with setBusTarget(), and the card shows its drop hint while that is MAIN. It never takes a
// drop itself.
//
// Threads: main thread only.

#include <QWidget>
#include <optional>

#include "ui/panels/MainBusCard.h"
#include "ui/style/MenuModel.h"

class QLabel;

namespace quellor {

class DropZoneBoard;
class LevelRowWidget;
class MIDIMappingManager;
class MixerEngine;
class PanelMIDIBadgeWidget;
class SymbolView;
class ThemeController;
class ViewRefresh;

class MainBusCardWidget : public QWidget {
    Q_OBJECT
public:
    // Needs the engine, the MIDI mappings and the theme; the board (optional) receives the MAIN
    // zone; `symbol` names the device's symbol (none: "hifispeaker").
    MainBusCardWidget(MixerEngine& engine, MIDIMappingManager& mappings, ThemeController& themes,
                      DropZoneBoard* board = nullptr, DeviceSymbolLookup symbol = {}, QWidget* parent = nullptr);

    void setBusTarget(std::optional<OutputBus> target);
    const MainBusCard& model() const { return model_; }
    MenuModel contextMenu() const;
    // Builds the model now (the widget also does so after every burst of changes).
    void rebuild();

protected:
    void paintEvent(QPaintEvent*) override;
    void resizeEvent(QResizeEvent*) override;
    void contextMenuEvent(QContextMenuEvent*) override;

private:
    MixerEngine& engine_;
    MIDIMappingManager& mappings_;
    ThemeController& themes_;
    DeviceSymbolLookup symbol_;
    std::optional<OutputBus> busTarget_;
    MainBusCard model_;
    QLabel* title_;
    PanelMIDIBadgeWidget* badge_;
    QWidget* deviceLine_;
    SymbolView* deviceSymbol_;
    QLabel* deviceName_;
    SymbolView* check_;
    QLabel* fallbackName_;
    LevelRowWidget* level_;
    QWidget* hint_;
    ViewRefresh* refresh_;
};

}  // namespace quellor
