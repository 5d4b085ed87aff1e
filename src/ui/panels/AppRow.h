#pragma once
// The row of one source application in the panels, as logic: its name, icon, MIDI badge and level,
// and either a level slider (the application plays to the default output) or one entry per device it
// plays to explicitly, each with the device's own volume and a button that stops playing there.
//
// The model is read from the engine, the process monitor and the mapping manager each time it is
// built; the row keeps nothing. Every action goes through an engine or mapping-manager operation.
//
// Threads: main thread only.

#include <QString>
#include <optional>
#include <vector>

#include "audio/AudioApp.h"
#include "engine/AppVolume.h"
#include "ui/console/MIDIStatusBadge.h"
#include "ui/panels/LevelRow.h"
#include "ui/style/MenuModel.h"

namespace quellor {

class MIDIMappingManager;
class MixerEngine;

// The speaker of a level: slashed while muted, then by level: silent at exactly 0, one wave below
// 0.34, two below 0.67, three otherwise.
QString speakerSymbol(const AppVolume& entry);
// "muted" while muted, else the level in whole percent, truncated: 0.999 reads "99%".
QString levelText(const AppVolume& entry);

struct AppRow {
    static constexpr double kIdleOpacity = 0.5;     // an application that plays nothing
    static constexpr double kMutedSliderShare = 0.55;  // of the row's opacity, while muted
    static inline const QString kUnavailable = QStringLiteral("Unavailable");
    static inline const QString kStopPlayingHelp = QStringLiteral("Stop playing to this device");

    QString bundleID;
    QString name;
    QString icon;  // a themed icon name
    double rowOpacity = 1.0;  // of the header and the level slider
    MIDIStatusBadge badge;
    AppVolume entry;

    // A device the application plays to, in stored order.
    struct Output {
        QString uid;
        QString name;  // "Unavailable" when the engine knows no device with that UID
        std::optional<LevelRow> level;  // none when the engine holds no volume control for it
        bool operator==(const Output&) const = default;
    };
    std::vector<Output> outputs;  // empty: the application plays to the default output
    bool isRouteTarget = false;   // a dragged device is over the row

    static AppRow of(MixerEngine& engine, const MIDIMappingManager& mappings, const AudioApp& app,
                     bool isRouteTarget);

    // The level text and slider belong to an application on the default output only.
    bool showsLevel() const { return outputs.empty(); }
    QString levelText() const { return quellor::levelText(entry); }
    QString speakerSymbol() const { return quellor::speakerSymbol(entry); }
    double sliderOpacity() const { return rowOpacity * (entry.isMuted ? kMutedSliderShare : 1.0); }
};

// The drag text of the row's icon: the console puts the application on the strip it is dropped on.
QString appDragText(const AudioApp& app);

// "Reset to 100%", "Play on default output" (only while the application has explicit outputs), a
// divider, and MIDI learn for the application's level. The actions hold the engine and the manager
// weakly.
MenuModel appRowMenu(MixerEngine& engine, MIDIMappingManager& mappings, const AudioApp& app);

}  // namespace quellor
