#pragma once
// The PHONES card, as logic: the PHONES pair of a multichannel interface (which pair carries each
// bus), the PHONES level and, on a TotalMix interface, its default-routing button, with MIDI learn
// for the PHONES level.
//
// Everything is read from the engine when the card model is built; the card keeps nothing. Choosing a
// pair is the one change it makes, and it goes through chooseBusPair().
//
// Threads: main thread only.

#include <QString>
#include <optional>
#include <vector>

#include "audio/ChannelPairingPolicy.h"
#include "ui/console/MIDIStatusBadge.h"
#include "ui/panels/LevelRow.h"
#include "ui/panels/OutputBus.h"
#include "ui/style/MenuModel.h"

namespace quellor {

class MIDIMappingManager;
class MixerEngine;

// The pull-down of one bus's pair on the PHONES card.
struct BusPairPicker {
    OutputBus bus = OutputBus::Main;
    int currentOffset = 0;
    std::vector<ChannelPairingPolicy::Pair> pairs;  // ascending

    QString title() const { return displayName(bus); }  // "MAIN", "PHONES"
    QString currentLabel() const { return ChannelPairingPolicy::Pair{currentOffset}.label(); }
    QString help() const { return QStringLiteral("Which output pair carries ") + displayName(bus); }
};

struct PhonesBusCard {
    static inline const QString kPlaceholder = QStringLiteral("Needs a multichannel interface");
    static inline const QString kOnThisInterface = QStringLiteral("on this interface");
    static inline const QString kTotalMixButton = QStringLiteral("Reset TotalMix routing");
    static QString totalMixHelp();

    MIDIStatusBadge badge;
    // No default output, or one without two stereo pairs: the card shows the placeholder only.
    bool isPlaceholder = true;
    QString deviceUID;
    QString deviceName;
    std::vector<BusPairPicker> pickers;  // MAIN, then PHONES
    std::optional<LevelRow> level;  // the PHONES bus level
    bool showsTotalMixButton = false;

    static PhonesBusCard of(MixerEngine& engine, const MIDIMappingManager& mappings);
};

// A pair chosen for `bus` on device `deviceUID`: stores the new pairing, the other bus keeping the
// pair the engine resolves for it now. Nothing happens, and the result is false, when the pair is
// the one the bus already uses (no store, no restart of the taps, no dropout), when `offset` is no
// pair of the device, or when `deviceUID` is no longer the default output with a PHONES layout (the
// menu was opened for another device).
bool chooseBusPair(MixerEngine& engine, const QString& deviceUID, OutputBus bus, int offset);

// The items of a pair pull-down: one per pair, titled with its label, none checked; each chooses
// its pair through chooseBusPair(). The actions hold the engine weakly.
MenuModel busPairMenu(MixerEngine& engine, const QString& deviceUID, const BusPairPicker& picker);

}  // namespace quellor
