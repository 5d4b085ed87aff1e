#include "ui/panels/PhonesBusCard.h"

#include <QPointer>
#include <algorithm>

#include "engine/MixerEngine.h"
#include "remote/TotalMixOSC.h"

namespace quellor {

QString PhonesBusCard::totalMixHelp() {
    return QStringLiteral("Writes TotalMix's default routing for Quellor: MAIN playback to the monitors only, PHONES "
                          "playback to the phones jack only. Enable OSC control in TotalMix first (Options → Settings "
                          "→ OSC, port %1).")
        .arg(unsigned(TotalMixOSC::kPort));
}

PhonesBusCard PhonesBusCard::of(MixerEngine& engine, const MIDIMappingManager& mappings) {
    PhonesBusCard model;
    model.badge = MIDIStatusBadge::of(mappings, routeID(OutputBus::Phones));
    const auto device = engine.currentOutputDevice();
    const auto layout = device ? engine.busLayout(*device) : std::nullopt;
    if (!layout) return model;
    model.isPlaceholder = false;
    model.deviceUID = device->uid;
    model.deviceName = device->name;
    const auto pairs = ChannelPairingPolicy::pairs(device->outputChannels);
    model.pickers = {{OutputBus::Main, layout->mainOffset, pairs}, {OutputBus::Phones, layout->phonesOffset, pairs}};
    if (VolumeControlling* phones = engine.activePhonesVolume()) model.level = LevelRow::of(*phones);
    model.showsTotalMixButton = TotalMixOSC::isTotalMixDevice(device->uid, device->name);
    return model;
}

bool chooseBusPair(MixerEngine& engine, const QString& deviceUID, OutputBus bus, int offset) {
    const auto device = engine.currentOutputDevice();
    if (!device || device->uid != deviceUID) return false;
    const auto layout = engine.busLayout(*device);
    if (!layout) return false;
    const auto pairs = ChannelPairingPolicy::pairs(device->outputChannels);
    if (std::find(pairs.begin(), pairs.end(), ChannelPairingPolicy::Pair{offset}) == pairs.end()) return false;
    MixerEngine::BusPairing pairing{layout->mainOffset, layout->phonesOffset};
    int& chosen = bus == OutputBus::Main ? pairing.mainOffset : pairing.phonesOffset;
    // The pair in use already: storing it again would restart every tap on the device for nothing.
    if (chosen == offset) return false;
    chosen = offset;
    engine.setBusPairing(pairing, deviceUID);
    return true;
}

MenuModel busPairMenu(MixerEngine& engine, const QString& deviceUID, const BusPairPicker& picker) {
    MenuModel items;
    for (const auto& pair : picker.pairs)
        items.push_back(MenuItem::command(pair.label(), [engine = QPointer<MixerEngine>(&engine), deviceUID,
                                                         bus = picker.bus, offset = pair.offset] {
            if (engine) chooseBusPair(*engine, deviceUID, bus, offset);
        }));
    return items;
}

}  // namespace quellor
