#pragma once
// What the MAIN and PHONES cards share: how they follow the engine, their frame and header, their
// lines of parts and their fill.
//
// Threads: main thread only.

#include <QString>
#include <functional>
#include <initializer_list>

#include "ui/panels/OutputBus.h"
#include "ui/style/ThemeMode.h"

class QLabel;
class QObject;
class QVBoxLayout;
class QWidget;

namespace quellor {

class MIDIMappingManager;
class MixerEngine;
class PanelMIDIBadgeWidget;
class ThemeController;
class ViewRefresh;

// Runs `rebuild` once per burst of changes of what a card follows: the default output, its pairing
// and name, Bluetooth, MIDI learn and the theme.
ViewRefresh* busCardRefresh(QObject* owner, std::function<void()> rebuild, MixerEngine& engine,
                            MIDIMappingManager& mappings, ThemeController& themes);

// The card's frame: padded, its parts apart, the header (bus name, badge) on top; `title` and
// `badge` receive the header's parts.
QVBoxLayout* busCardLayout(QWidget* card, OutputBus bus, QLabel*& title, PanelMIDIBadgeWidget*& badge);

// A line of `parts` with the free room after the part at `stretchAfter` (or at the end).
QWidget* busCardLine(QWidget* parent, std::initializer_list<QWidget*> parts, int stretchAfter);

// The card's rounded fill.
void paintBusCard(QWidget& card, const Palette& colors);

}  // namespace quellor
