#include "ui/panels/AppRow.h"

#include <QPointer>

#include "audio/AudioProcessMonitor.h"
#include "audio/VolumeControlling.h"
#include "base/Level.h"
#include "engine/MixerEngine.h"
#include "ui/console/StripDragPayload.h"
#include "ui/panels/PanelMIDI.h"

namespace quellor {

QString speakerSymbol(const AppVolume& entry) {
    if (entry.isMuted) return QStringLiteral("speaker.slash.fill");
    if (entry.volume == 0.0f) return QStringLiteral("speaker.fill");
    if (entry.volume < 0.34f) return QStringLiteral("speaker.wave.1.fill");
    if (entry.volume < 0.67f) return QStringLiteral("speaker.wave.2.fill");
    return QStringLiteral("speaker.wave.3.fill");
}

QString levelText(const AppVolume& entry) {
    if (entry.isMuted) return QStringLiteral("muted");
    // Clamped as the gain law clamps, so a level that is no number reads as the full level it plays at
    // rather than reaching an undefined conversion.
    return QString::number(int(clampLevel(entry.volume) * 100.0f)) + QLatin1Char('%');
}

AppRow AppRow::of(MixerEngine& engine, const MIDIMappingManager& mappings, const AudioApp& app,
                  bool isRouteTarget) {
    AppRow model;
    model.bundleID = app.bundleID;
    model.name = app.name;
    model.icon = engine.processMonitor().icon(app);
    model.rowOpacity = app.isPlaying ? 1.0 : kIdleOpacity;
    model.badge = MIDIStatusBadge::of(mappings, app.bundleID);
    model.entry = engine.appVolume(app);
    for (const QString& uid : engine.outputDeviceUIDs(app)) {
        Output output{uid, engine.deviceName(uid).value_or(kUnavailable), std::nullopt};
        if (VolumeControlling* control = engine.volumeControl(uid)) output.level = LevelRow::of(*control);
        model.outputs.push_back(std::move(output));
    }
    model.isRouteTarget = isRouteTarget;
    return model;
}

QString appDragText(const AudioApp& app) { return StripDragPayload::forApp(app.bundleID); }

MenuModel appRowMenu(MixerEngine& engine, MIDIMappingManager& mappings, const AudioApp& app) {
    const QPointer<MixerEngine> weak = &engine;
    MenuModel menu{MenuItem::command(QStringLiteral("Reset to 100%"), [weak, app] {
        if (weak) weak->resetToDefaults(app);
    })};
    if (!engine.outputDeviceUIDs(app).isEmpty())
        menu.push_back(MenuItem::command(QStringLiteral("Play on default output"), [weak, app] {
            if (weak) weak->resetOutputs(app);
        }));
    menu.push_back(MenuItem::separator());
    for (MenuItem& item : panelLearnItems(app.bundleID, mappings)) menu.push_back(std::move(item));
    return menu;
}

}  // namespace quellor
