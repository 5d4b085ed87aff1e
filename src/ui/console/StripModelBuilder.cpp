#include "ui/console/StripModelBuilder.h"

#include <algorithm>

#include "audio/AudioDeviceMonitor.h"
#include "audio/AudioProcessMonitor.h"
#include "audio/SystemVolumeController.h"
#include "audio/VolumeControlling.h"
#include "base/Level.h"
#include "base/UserDefaults.h"
#include "engine/CompanionFeeds.h"
#include "engine/MeterLevelClock.h"
#include "engine/MixerEngine.h"
#include "engine/RouteID.h"
#include "ui/console/StoredStripCount.h"

namespace quellor {

namespace {

// The sources that are no application: each drives one volume control.
bool isFixedSource(const QString& id) {
    return id == RouteID::kMainBus || id == RouteID::kPhonesBus || id == RouteID::kSystemOutput ||
           id == RouteID::kSystemInput;
}

std::optional<AudioApp> runningApp(MixerEngine& engine, const QString& bundleID) {
    for (const AudioApp& app : engine.processMonitor().apps())
        if (app.bundleID == bundleID) return app;
    return std::nullopt;
}

AppVolume mixRecord(const MixerEngine& engine, const QString& bundleID) {
    auto it = engine.volumes().find(bundleID);
    return it == engine.volumes().end() ? AppVolume{} : it->second;
}

// A cued application's fader shows and moves its PHONES level, an uncued one its main level.
float faderLevel(const AppVolume& record) { return record.isCued ? record.cueVolume : record.volume; }

float meterLevel(const QPointer<MixerEngine>& engine, const QString& key) {
    if (!engine) return 0.0f;
    auto it = engine->meters().levels().find(key);
    return it == engine->meters().levels().end() ? 0.0f : it->second;
}

QString routeLine(const QString& arrow, const std::optional<QString>& deviceName) {
    return arrow + QLatin1Char(' ') + deviceName.value_or(QStringLiteral("no device"));
}

// The line and entries of the MAIN and Output strips: the output devices, the default one marked.
void fillOutputRoute(StripModel& model, const QPointer<MixerEngine>& engine) {
    const auto current = engine->currentOutputDevice();
    model.routeText = routeLine(QStringLiteral("↳"), current ? std::optional(current->name) : std::nullopt);
    for (const AudioDevice& device : engine->deviceMonitor().devices()) {
        if (device.outputChannels < 1) continue;
        model.routeItems.push_back({device.uid, device.name, current && current->id == device.id, [engine, device] {
                                        if (engine) engine->setDefaultOutput(device);
                                    }});
    }
}

// Upper case for the first character (a whole surrogate pair), lower case for the rest.
QString capitalisedWord(const QString& word) {
    if (word.isEmpty()) return word;
    const qsizetype first = word.front().isHighSurrogate() && word.size() > 1 ? 2 : 1;
    return word.left(first).toUpper() + word.mid(first).toLower();
}

}  // namespace

StripModelBuilder::StripModelBuilder(MixerEngine& engine, UserDefaults& defaults)
    : engine_(&engine), defaults_(&defaults) {}

StripModel StripModelBuilder::stripModel(const QString& id) const {
    if (!engine_) return emptySlotModel();
    if (id == RouteID::kMainBus) return mainModel();
    if (id == RouteID::kPhonesBus) return phonesModel();
    if (id == RouteID::kSystemOutput) return outputModel();
    if (id == RouteID::kSystemInput) return inputModel();
    return appStripModel(id);
}

StripModel StripModelBuilder::mainModel() const {
    StripModel model = outputModel();
    model.name = QStringLiteral("MAIN");
    model.icon = QStringLiteral("hifispeaker.fill");
    model.meter = [engine = engine_] { return meterLevel(engine, MeterLevels::kMainKey); };
    // MAIN is the current output device: without one there is nothing to drive.
    model.isActive = model.isActive && engine_->currentOutputDevice().has_value();
    // It shows the system mute; the console's main mute stands where its buttons would be.
    model.isMuted = engine_->systemVolume().isMuted();
    model.midiTarget = RouteID::kMainBus;
    return model;
}

StripModel StripModelBuilder::fixedStrip(const QString& id, const QString& name, const QString& icon,
                                         StripModel::Kind kind) const {
    QPointer<VolumeControlling> control = fixedControl(id);
    StripModel model;
    model.name = name;
    model.icon = icon;
    model.kind = kind;
    model.volume = currentLevel(id);
    model.meter = [] { return 0.0f; };
    model.isActive = control && control->canSetVolume();
    model.setVolume = [control](float v) {
        if (control) control->setVolume(v);
    };
    model.midiTarget = id;
    return model;
}

StripModel StripModelBuilder::outputModel() const {
    StripModel model = fixedStrip(RouteID::kSystemOutput, QStringLiteral("Output"), QStringLiteral("speaker.wave.3.fill"),
                                  StripModel::Kind::Output);
    fillOutputRoute(model, engine_);
    return model;
}

StripModel StripModelBuilder::phonesModel() const {
    StripModel model = fixedStrip(RouteID::kPhonesBus, QStringLiteral("PHONES"), QStringLiteral("headphones"), StripModel::Kind::Output);
    // The engine hands out the PHONES control only while the output has a PHONES pair.
    QPointer<VolumeControlling> control = fixedControl(RouteID::kPhonesBus);
    model.isMuted = control && control->isMuted();
    if (control && control->canMute())
        model.toggleMute = [control] {
            if (control) control->toggleMute();
        };
    return model;
}

StripModel StripModelBuilder::inputModel() const {
    const AudioDeviceMonitor& monitor = engine_->inputDeviceMonitor();
    StripModel model = fixedStrip(RouteID::kSystemInput, QStringLiteral("Input"), QStringLiteral("mic.fill"), StripModel::Kind::Input);
    std::optional<QString> current;
    for (const AudioDevice& device : monitor.devices()) {
        const bool isDefault = device.id == monitor.defaultDeviceID();
        if (isDefault && !current) current = device.name;
        // Choosing the default input concerns no application, so the companion hears nothing.
        model.routeItems.push_back({device.uid, device.name, isDefault, [engine = engine_, device] {
                                        if (engine) engine->inputDeviceMonitor().setDefaultDevice(device);
                                    }});
    }
    model.routeText = routeLine(QStringLiteral("↳"), current);
    return model;
}

StripModel StripModelBuilder::appStripModel(const QString& bundleID) const {
    if (!engine_) return emptySlotModel();
    const std::optional<AudioApp> app = runningApp(*engine_, bundleID);
    const AppVolume record = mixRecord(*engine_, bundleID);
    const bool running = app.has_value();
    // A cued source that has gone away can still be un-cued.
    const bool canCue = running ? engine_->hasPhonesBus() || record.isCued : record.isCued;
    const bool isSoloed = engine_->soloed().count(bundleID) > 0;
    const QPointer<MixerEngine> engine = engine_;

    StripModel model;
    model.name = running ? app->name : automaticAppName(bundleID);
    model.icon = QStringLiteral("app");
    model.kind = StripModel::Kind::Source;
    model.volume = faderLevel(record);
    model.meter = [engine, bundleID] { return meterLevel(engine, bundleID); };
    model.isActive = running;
    model.isCued = record.isCued;
    model.isMuted = record.isMuted;
    model.isSoloed = isSoloed;
    model.resetValue = 1.0f;
    model.midiTarget = bundleID;
    if (canCue) {
        model.toggleCue = [engine, bundleID, on = !record.isCued] {
            if (engine) engine->setCue(on, bundleID);
        };
        model.cueMIDITarget = RouteID::kCuePrefix + bundleID;
    }
    // A soloed source that stops running keeps its SOLO button, so that its solo can be released.
    if (running || isSoloed)
        model.toggleSolo = [engine, bundleID] {
            if (engine) engine->applySolo(engine->soloed().count(bundleID) == 0, bundleID);
        };
    if (!running) {
        model.setVolume = [](float) {};
        return model;
    }

    if (record.isCued)
        model.setVolume = [engine, bundleID](float v) {
            if (engine) engine->setCueVolume(v, bundleID);
        };
    else
        model.setVolume = [engine, app = *app](float v) {
            if (engine) engine->setVolume(v, app);
        };
    model.toggleMute = [engine, app = *app] {
        if (engine) engine->toggleMute(app);
    };

    const QStringList uids = engine_->outputDeviceUIDs(*app);
    const auto& devices = engine_->deviceMonitor().devices();
    if (uids.isEmpty()) {
        model.routeText = QStringLiteral("→ MAIN");
    } else {
        QStringList names;
        for (const QString& uid : uids) {
            auto it = std::find_if(devices.begin(), devices.end(), [&](const AudioDevice& d) { return d.uid == uid; });
            if (it != devices.end()) names.append(it->name);
        }
        model.routeText = QStringLiteral("→ ") + (names.isEmpty() ? QStringLiteral("device") : names.join(QStringLiteral(" + ")));
    }
    model.routeItems.push_back({QString(), QStringLiteral("MAIN (default)"), uids.isEmpty(), [engine, app = *app] {
                                    if (engine) engine->resetOutputs(app);
                                }});
    for (const AudioDevice& device : devices) {
        if (device.outputChannels < 1) continue;
        const bool used = uids.contains(device.uid);
        model.routeItems.push_back({device.uid, device.name, used, [engine, app = *app, device, used] {
                                        if (!engine) return;
                                        if (used) engine->removeOutput(device.uid, app);
                                        else engine->addOutput(device, app);
                                    }});
    }
    return model;
}

StripModel StripModelBuilder::styledStripModel(StripModel model, const QString& id) const {
    model.targetID = id;
    if (!engine_) return model;
    auto it = engine_->stripStyles().find(id);
    if (it == engine_->stripStyles().end()) return model;
    const StripStyle& style = it->second;
    if (style.name && !style.name->isEmpty()) model.name = *style.name;
    model.colorIndex = style.color;
    model.group = style.group;
    if (model.group)
        model.setVolume = [builder = *this, own = std::move(model.setVolume), id, tag = *model.group](float v) {
            builder.propagateGroupMove(own, v, id, tag);
        };
    return model;
}

VolumeControlling* StripModelBuilder::fixedControl(const QString& id) const {
    if (!engine_) return nullptr;
    if (id == RouteID::kMainBus || id == RouteID::kSystemOutput) return &engine_->systemVolume();
    if (id == RouteID::kSystemInput) return &engine_->inputVolume();
    if (id == RouteID::kPhonesBus) return engine_->activePhonesVolume();
    return nullptr;
}

float StripModelBuilder::currentLevel(const QString& id) const {
    if (!engine_) return 0.0f;
    if (isFixedSource(id)) {
        // The PHONES level is kept as it was stored; a fader shows it as the level law reads it.
        const VolumeControlling* control = fixedControl(id);
        return control ? clampLevel(control->volume()) : 0.0f;
    }
    return faderLevel(mixRecord(*engine_, id));
}

void StripModelBuilder::propagateGroupMove(const std::function<void(float)>& ownSetter, float value,
                                           const QString& id, const QString& tag) const {
    const float before = currentLevel(id);
    if (ownSetter) ownSetter(value);
    if (!engine_) return;
    const float delta = currentLevel(id) - before;
    if (!(delta != 0.0f)) return;

    const QStringList shown = engine_->consoleSlots().mid(0, defaults_ ? storedStripCount(*defaults_) : 8);
    const RouteID ownControl = RouteID::parse(id);
    // A copy: the partners' setters may change the engine's state while the loop runs.
    const StripStyleMap styles = engine_->stripStyles();
    for (const auto& [key, style] : styles) {
        if (key == id || style.group != tag || !shown.contains(key)) continue;
        if (RouteID::parse(key) == ownControl) continue;
        if (!engine_) return;
        const StripModel partner = stripModel(key);
        if (!partner.isActive) continue;
        partner.setVolume(clampLevel(partner.volume + delta));
    }
}

QString StripModelBuilder::automaticAppName(const QString& bundleID) {
    const QStringList pieces = bundleID.split(QLatin1Char('.'), Qt::SkipEmptyParts);
    if (pieces.isEmpty()) return bundleID;
    QStringList words = pieces.last().split(QLatin1Char(' '));
    for (QString& word : words) word = capitalisedWord(word);
    return words.join(QLatin1Char(' '));
}

StripModel StripModelBuilder::emptySlotModel() {
    StripModel model;
    model.icon = QStringLiteral("minus");
    model.meter = [] { return 0.0f; };
    model.setVolume = [](float) {};
    return model;
}

}  // namespace quellor
