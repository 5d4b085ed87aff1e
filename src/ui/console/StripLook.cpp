#include "ui/console/StripLook.h"

#include "engine/RouteID.h"
#include "ui/console/ConsoleColors.h"
#include "ui/console/StripModel.h"

namespace quellor {

using S = ConsoleMetrics::Strip;

StripLook stripLook(const StripModel& model, ThemeMode theme, bool compact) {
    const Palette p = palette(theme);
    const bool daylight = theme == ThemeMode::Daylight;
    StripLook look;
    look.opacity = model.isActive ? 1.0 : daylight ? 0.78 : 0.4;
    look.padding = compact ? S::kCompactPadding : S::kPadding;
    look.readoutHeight = compact ? S::kCompactReadoutHeight : S::kReadoutHeight;
    look.readoutSemibold = model.isActive || !daylight;
    look.readoutColor = model.isActive && !model.isMuted ? signalOnDark() : p.lcdMuted;
    look.readoutStruck = model.isMuted;
    look.strikeColor = p.textMuted;
    look.lcdOpacity = daylight && !model.isActive ? 0.6 : 1.0;
    if (model.toggleCue || model.toggleMute || model.toggleSolo)
        look.buttonArea = StripLook::ButtonArea::Buttons;
    else if (model.targetID == RouteID::kMainBus)
        look.buttonArea = StripLook::ButtonArea::MainMuteAnchor;
    look.titleMinHeight = compact ? S::kCompactTitleMinHeight : S::kTitleMinHeight;
    look.titleBorderWidth = model.isCued ? S::kCuedTitleBorderWidth : S::kTitleBorderWidth;
    look.titleBorderColor = model.isCued ? cueColor(theme) : p.hair;
    return look;
}

}  // namespace quellor
