#pragma once
// The strip of the default input device's volume, with MIDI learn on "system_input" (its context
// menu is panelLearnItems() of that route).
//
// Threads: main thread only (it reads the volume controller and the mappings).

#include <QString>
#include <optional>

#include "ui/console/MIDIStatusBadge.h"
#include "ui/panels/LevelRow.h"

namespace quellor {

class MIDIMappingManager;
class SystemVolumeController;

struct InputStrip {
    static constexpr int kTitlePointSize = 12;
    static constexpr int kDevicePointSize = 11;
    static constexpr int kNotePointSize = 10;
    static inline const QString kTitle = QStringLiteral("Input");
    static inline const QString kGainNote = QStringLiteral("Gain is controlled on the device");
    static inline const QString kIcon = QStringLiteral("mic.fill");
    static inline const QString kMutedIcon = QStringLiteral("mic.slash.fill");

    QString deviceName;
    MIDIStatusBadge badge;
    LevelRow level;

    static InputStrip of(const SystemVolumeController& input, const MIDIMappingManager* mappings);

    QString icon() const { return level.isMuted ? kMutedIcon : kIcon; }
    QString note() const { return level.enabled ? QString() : kGainNote; }

    // The room the header leaves the device's name in a strip `width` wide, after the title
    // `titleWidth` wide and the badge `badgeWidth` wide (none: the badge is hidden).
    static int deviceNameRoom(int width, int titleWidth, std::optional<int> badgeWidth);
};

}  // namespace quellor
