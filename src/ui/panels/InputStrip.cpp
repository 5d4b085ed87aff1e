#include "ui/panels/InputStrip.h"

#include "audio/SystemVolumeController.h"
#include "engine/RouteID.h"

namespace quellor {

InputStripModel InputStripModel::of(const SystemVolumeController& input, const MIDIMappingManager* mappings) {
    InputStripModel model;
    model.deviceName = input.deviceName();
    if (mappings) model.badge = MIDIStatusBadge::of(*mappings, RouteID::kSystemInput);
    model.level = LevelRowModel::of(input);
    return model;
}

}  // namespace quellor
