#pragma once
// The PHONES card as a widget. It paints what PhonesBusCard says and forwards input: the level
// row writes through the PHONES volume, a pair item through chooseBusPair(), the TotalMix button to
// the engine, the context menu to MIDI learn. It rebuilds once per burst of engine, device, pairing,
// mapping or theme changes.
//
// Threads: main thread only.

#include <QWidget>

#include "ui/panels/PhonesBusCard.h"

class QLabel;
class QPushButton;
class QToolButton;

namespace quellor {

class LevelRowWidget;
class MIDIMappingManager;
class MixerEngine;
class PanelMIDIBadgeWidget;
class SymbolView;
class ThemeController;
class ViewRefresh;

class PhonesBusCardWidget : public QWidget {
    Q_OBJECT
public:
    // Needs the engine, the MIDI mappings and the theme.
    PhonesBusCardWidget(MixerEngine& engine, MIDIMappingManager& mappings, ThemeController& themes,
                        QWidget* parent = nullptr);

    const PhonesBusCard& model() const { return model_; }
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
    PhonesBusCard model_;
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

}  // namespace quellor
