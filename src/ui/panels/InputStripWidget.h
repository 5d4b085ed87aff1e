#pragma once
// The strip of the default input's gain: "Input", the MIDI badge and the device's name above a
// level slider with the mic icon; its context menu learns a MIDI controller for "system_input".
//
// Threads: main thread only.

#include <QWidget>

#include "ui/panels/InputStrip.h"
#include "ui/style/MenuModel.h"

class QLabel;

namespace quellor {

class LevelRowWidget;
class MIDIMappingManager;
class MixerEngine;
class PanelMIDIBadgeWidget;
class ThemeController;
class ViewRefresh;

class InputStripWidget : public QWidget {
    Q_OBJECT
public:
    // Needs the engine (its input volume), the MIDI mappings and the theme.
    InputStripWidget(MixerEngine& engine, MIDIMappingManager& mappings, ThemeController& themes,
                     QWidget* parent = nullptr);

    const InputStrip& model() const { return model_; }
    MenuModel contextMenu() const;
    void rebuild();

protected:
    void contextMenuEvent(QContextMenuEvent*) override;
    void resizeEvent(QResizeEvent*) override;

private:
    // The device's name in the room the header leaves it.
    void elideDeviceName();

    MixerEngine& engine_;
    MIDIMappingManager& mappings_;
    ThemeController& themes_;
    InputStrip model_;
    QLabel* title_;
    PanelMIDIBadgeWidget* badge_;
    QLabel* deviceName_;
    LevelRowWidget* level_;
    ViewRefresh* refresh_;
};

}  // namespace quellor
