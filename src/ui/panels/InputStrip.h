#pragma once
// The strip of the default input device's volume, with MIDI learn on "system_input" (its context
// menu is panelLearnItems() of that route).
//
// Threads: main thread only (it reads the volume controller and the mappings).

#include <QString>

#include "ui/console/MIDIStatusBadge.h"
#include "ui/panels/LevelRow.h"

namespace quellor {

class MIDIMappingManager;
class SystemVolumeController;

struct InputStripModel {
    static constexpr int kSpacing = 5;
    static constexpr int kSliderHeight = 22;
    static constexpr int kTitlePointSize = 12;
    static constexpr int kDevicePointSize = 11;
    static constexpr int kNotePointSize = 10;
    static inline const QString kTitle = QStringLiteral("Input");
    static inline const QString kGainNote = QStringLiteral("Gain is controlled on the device");
    static inline const QString kIcon = QStringLiteral("mic.fill");
    static inline const QString kMutedIcon = QStringLiteral("mic.slash.fill");

    QString deviceName;
    MIDIStatusBadge badge;
    LevelRowModel level;

    static InputStripModel of(const SystemVolumeController& input, const MIDIMappingManager* mappings);

    QString icon() const { return level.isMuted ? kMutedIcon : kIcon; }
    QString note() const { return level.enabled ? QString() : kGainNote; }
};

}  // namespace quellor
