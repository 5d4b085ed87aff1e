#pragma once
// The source menu of a console slot: the sources a slot can show, in sections "Buses" (MAIN,
// PHONES), "System" (Output, Input) and, while the process monitor lists any, "Apps" (every
// application in the monitor's order). Choosing one writes it into the slot and does nothing
// else: nothing is hidden or disabled, and a source already on another strip stays there too.
//
// Threads: main thread only.

#include "ui/style/MenuModel.h"

namespace quellor {

class MixerEngine;

MenuModel slotSourceMenu(int index, MixerEngine& engine);

}  // namespace quellor
