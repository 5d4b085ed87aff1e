#include "ui/panels/MainBusCard.h"

#include "audio/SystemVolumeController.h"
#include "engine/MixerEngine.h"

namespace quellor {

MainBusCard MainBusCard::of(MixerEngine& engine, const MIDIMappingManager& mappings,
                            std::optional<OutputBus> busTarget, const DeviceSymbolLookup& symbol) {
    MainBusCard model;
    model.badge = MIDIStatusBadge::of(mappings, routeID(OutputBus::Main));
    if (auto device = engine.currentOutputDevice()) {
        const QString name = symbol ? symbol(*device, false, engine.bluetoothDevice(*device)) : QString();
        model.device = Device{name.isEmpty() ? QStringLiteral("hifispeaker") : name, device->name};
    } else {
        model.fallbackName = engine.systemVolume().deviceName();
    }
    model.level = LevelRow::of(engine.systemVolume());
    model.showsDropHint = busTarget == OutputBus::Main;
    return model;
}

}  // namespace quellor
