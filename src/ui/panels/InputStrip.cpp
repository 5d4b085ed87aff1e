#include "ui/panels/InputStrip.h"

#include <algorithm>

#include "audio/SystemVolumeController.h"
#include "engine/RouteID.h"
#include "ui/panels/PanelMetrics.h"

namespace quellor {

InputStripModel InputStripModel::of(const SystemVolumeController& input, const MIDIMappingManager* mappings) {
    InputStripModel model;
    model.deviceName = input.deviceName();
    if (mappings) model.badge = MIDIStatusBadge::of(*mappings, RouteID::kSystemInput);
    model.level = LevelRowModel::of(input);
    return model;
}

int InputStripModel::deviceNameRoom(int width, int titleWidth, std::optional<int> badgeWidth) {
    using Strip = PanelMetrics::InputStrip;
    const int badge = badgeWidth ? *badgeWidth + Strip::kHeaderSpacing : 0;
    return std::max(0, width - titleWidth - badge - Strip::kDeviceNameGap);
}

}  // namespace quellor
