#pragma once
// The tiny MIDI label beside a control that a MIDI controller can drive: "LEARN" while learning
// waits for a control for that control's route id, "CC" and the controller number while one is
// mapped to it, otherwise nothing (and it takes no space). Learning wins over an existing mapping,
// so a control being learnt again reads "LEARN".
//
// Threads: main thread only (it reads the mapping manager).

#include <QColor>
#include <QString>

#include "ui/style/ThemeMode.h"

namespace quellor {

class MIDIMappingManager;

struct MIDIStatusBadge {
    enum class State { None, Learn, Mapped };

    State state = State::None;
    int ccNumber = 0;  // while mapped

    static MIDIStatusBadge of(const MIDIMappingManager& mappings, const QString& target);

    bool isShown() const { return state != State::None; }
    QString text() const;  // "", "LEARN" or "CC7"
    bool isBold() const { return state == State::Learn; }  // else medium weight
    // Orange while learning; a mapping in the brand colour, its dark-surface shade on a surface
    // that is dark whatever the theme (the readout's LCD).
    QColor color(ThemeMode theme, bool onDark) const;
};

}  // namespace quellor
