#pragma once
// The fade section of a strip's menus (the readout's context menu holds it alone, the title
// block's context menu ends with it): fade out to silence over 1, 3, 5 or 10 s, fade in to full
// level over 1, 3 or 5 s, or stop the strip's fade.
//
// A strip fades under its source id (its model's targetID), so two strips showing one source share
// one fade; a model without a target (never on a slot) fades under its name. Each entry keeps the
// key, the model's setter and the level the strip showed when the menu was built: a fade starts
// from the level the strip shows and reaches the mix through the same setter as a fader move, on
// inactive strips too.
//
// Threads: main thread only.

#include <QString>

#include "ui/style/MenuModel.h"

namespace quellor {

class ConsoleFades;
struct StripModel;

QString fadeKey(const StripModel& model);

// A titled divider "Fade" followed by the entries.
MenuModel fadeSection(const StripModel& model, ConsoleFades& fades);

}  // namespace quellor
