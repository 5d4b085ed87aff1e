#include "ui/console/StripButtons.h"

#include "ui/console/ConsoleColors.h"
#include "ui/console/StripModel.h"

namespace quellor {

QColor StripButton::fill(ThemeMode theme) const { return lit ? litColor : palette(theme).elevated; }

QColor StripButton::content(ThemeMode theme) const {
    const Palette p = palette(theme);
    return lit ? p.void_ : p.textMuted;
}

namespace {

StripButton button(StripButton::Role role, const QString& symbol, const QString& text, bool lit, QColor litColor,
                   const QString& helpUnlit, const QString& helpLit, const std::function<void()>& action) {
    StripButton b;
    b.role = role;
    b.symbol = symbol;
    b.text = text;
    b.lit = lit;
    // Only CUE is narrow: the letters share what it leaves of the row.
    b.wide = role != StripButton::Role::Cue;
    b.litColor = litColor;
    b.help = lit ? helpLit : helpUnlit;
    b.action = action;
    return b;
}

}  // namespace

std::vector<StripButton> stripButtons(const StripModel& model, ThemeMode theme) {
    std::vector<StripButton> buttons;
    if (model.toggleCue) {
        buttons.push_back(button(StripButton::Role::Cue, QStringLiteral("headphones"), QString(), model.isCued,
                                 cueColor(theme), QStringLiteral("Cue to PHONES (pre-fade)"),
                                 QStringLiteral("Stop cueing to PHONES"), model.toggleCue));
        buttons.back().badgeTarget = model.cueMIDITarget;
    }
    if (model.toggleSolo)
        buttons.push_back(button(StripButton::Role::Solo, QString(), QStringLiteral("S"), model.isSoloed,
                                 withOpacity(standardYellow(theme), 0.9), QStringLiteral("Solo: hear only this"),
                                 QStringLiteral("Release solo"), model.toggleSolo));
    if (model.toggleMute)
        buttons.push_back(button(StripButton::Role::Mute, QString(), QStringLiteral("M"), model.isMuted,
                                 withOpacity(standardRed(theme), 0.85), QStringLiteral("Mute"), QStringLiteral("Unmute"),
                                 model.toggleMute));
    return buttons;
}

}  // namespace quellor
