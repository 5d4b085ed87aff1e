#include "ui/panels/InputStrip.h"

#include <algorithm>

#include "audio/SystemVolumeController.h"
#include "engine/RouteID.h"
#include "ui/panels/PanelMetrics.h"

namespace quellor {

InputStrip InputStrip::of(const SystemVolumeController& input, const MIDIMappingManager* mappings) {
    InputStrip model;
    model.deviceName = input.deviceName();
    if (mappings) model.badge = MIDIStatusBadge::of(*mappings, RouteID::kSystemInput);
    model.level = LevelRow::of(input);
    return model;
}

int InputStrip::deviceNameRoom(int width, int titleWidth, std::optional<int> badgeWidth) {
    using Strip = PanelMetrics::InputStrip;
    const int badge = badgeWidth ? *badgeWidth + Strip::kHeaderSpacing : 0;
    return std::max(0, width - titleWidth - badge - Strip::kDeviceNameGap);
}

}  // namespace quellor
