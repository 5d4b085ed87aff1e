#pragma once
// The row of CUE, SOLO and MUTE buttons of a console strip, as faces a widget paints and actions it
// runs. A button exists only while the strip's model offers its action; its face shows the state
// the model was built with, and a click runs the model's action and nothing else: the button
// lights up once the engine has applied the change and the model is rebuilt.
//
// CUE is narrow (at most 22 points) and carries the MIDI badge of its cue target; SOLO and MUTE
// share the width the row leaves. All faces are 18 points high on a rounded rectangle of radius 4:
// lit, filled with the button's own colour with the content in the palette's `void`; unlit, filled
// `elevated` with the content in `textMuted`.
//
// Threads: values only; actions run on the main thread.

#include <QColor>
#include <QString>
#include <functional>
#include <optional>
#include <vector>

#include "ui/style/ThemeMode.h"

namespace quellor {

struct StripModel;

struct StripButton {
    enum class Role { Cue, Solo, Mute };

    Role role = Role::Mute;
    QString symbol;  // a symbol name, or empty when the text is shown
    QString text;
    bool lit = false;
    bool wide = false;
    QColor litColor;
    QString help;  // what a click does now
    std::function<void()> action;
    std::optional<QString> badgeTarget;  // the MIDI target whose badge lies over the button

    QColor fill(ThemeMode theme) const;
    QColor content(ThemeMode theme) const;
};

// The buttons the model offers, in the order CUE, SOLO, MUTE.
std::vector<StripButton> stripButtons(const StripModel& model, ThemeMode theme);

}  // namespace quellor
