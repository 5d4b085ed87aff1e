#pragma once
// The MAIN and PHONES cards as widgets, and the section that stacks them. They paint what
// MainBusCardModel and PhonesBusCardModel say and forward input: the level rows write through the
// volume controls, a pair item through chooseBusPair(), the TotalMix button to the engine, the
// context menu to MIDI learn. They rebuild once per burst of engine, device, pairing, mapping or
// theme changes.
//
// The MAIN card puts itself on the drop-zone board under MAIN; the host reports the bus a dragged
// device is over with setBusTarget(), and the MAIN card shows its drop hint while that is MAIN. The
// cards never take a drop themselves.
//
// Threads: main thread only.

#include <QWidget>
#include <optional>

#include "ui/panels/OutputBusCards.h"

class QHBoxLayout;
class QLabel;
class QPushButton;
class QToolButton;

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
    const MainBusCardModel& model() const { return model_; }
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
    MainBusCardModel model_;
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

class PhonesBusCardWidget : public QWidget {
    Q_OBJECT
public:
    // Needs the engine, the MIDI mappings and the theme.
    PhonesBusCardWidget(MixerEngine& engine, MIDIMappingManager& mappings, ThemeController& themes,
                        QWidget* parent = nullptr);

    const PhonesBusCardModel& model() const { return model_; }
    MenuModel contextMenu() const;
    // The items of a pair pull-down as it would open now.
    MenuModel pairMenu(OutputBus bus) const;
    void rebuild();

protected:
    void paintEvent(QPaintEvent*) override;
    void contextMenuEvent(QContextMenuEvent*) override;

private:
    MixerEngine& engine_;
    MIDIMappingManager& mappings_;
    ThemeController& themes_;
    PhonesBusCardModel model_;
    QLabel* title_;
    PanelMIDIBadgeWidget* badge_;
    QWidget* placeholder_;
    SymbolView* placeholderSymbol_;
    QLabel* placeholderText_;
    QWidget* deviceLine_;
    SymbolView* deviceSymbol_;
    QLabel* deviceName_;
    QLabel* onInterface_;
    QWidget* pickers_;
    QLabel* pickerTitles_[2];
    QToolButton* pickerButtons_[2];
    LevelRowWidget* level_;
    QPushButton* totalMix_;
    ViewRefresh* refresh_;
};

// The two cards, MAIN above PHONES, 6 apart.
class ActiveOutputsSectionWidget : public QWidget {
    Q_OBJECT
public:
    // Needs what the two cards need (see MainBusCardWidget).
    ActiveOutputsSectionWidget(MixerEngine& engine, MIDIMappingManager& mappings, ThemeController& themes,
                               DropZoneBoard* board = nullptr, DeviceSymbolLookup symbol = {},
                               QWidget* parent = nullptr);

    void setBusTarget(std::optional<OutputBus> target) { main_->setBusTarget(target); }
    MainBusCardWidget& mainCard() const { return *main_; }
    PhonesBusCardWidget& phonesCard() const { return *phones_; }

private:
    MainBusCardWidget* main_;
    PhonesBusCardWidget* phones_;
};

}  // namespace quellor
