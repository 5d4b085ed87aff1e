#include "engine/MixerAppState.h"

#include "engine/RouteID.h"

namespace quellor {

MixerAppState MixerAppState::make(const Sources& in) {
    auto busRow = [](const QString& id, const char* name, float volume, bool isEmpty) {
        return AppEntry{id, QString::fromLatin1(name), volume, true, false, false, 1.0f, isEmpty};
    };
    MixerAppState state;
    state.apps.reserve(4 + in.apps.size());
    state.apps.push_back(busRow(RouteID::kSystemOutput, "Output", in.outputVolume, false));
    state.apps.push_back(busRow(RouteID::kSystemInput, "Input", in.inputVolume, false));
    state.apps.push_back(busRow(RouteID::kMainBus, "MAIN", in.outputVolume, !in.hasOutputDevice));
    state.apps.push_back(busRow(RouteID::kPhonesBus, "PHONES", in.phonesVolume.value_or(0.0f), !in.phonesVolume));
    for (const auto& app : in.apps) {
        AppVolume record;
        if (in.volumes) {
            auto it = in.volumes->find(app.bundleID);
            if (it != in.volumes->end()) record = it->second;
        }
        state.apps.push_back(AppEntry{app.bundleID, app.name, record.volume, false, record.isCued,
                                      in.phonesVolume.has_value(), record.cueVolume, false});
    }
    state.consoleSlots = in.consoleSlots.mid(0, kSentSlotCount);
    state.isPanicked = in.isPanicked;
    return state;
}

QJsonValue json::Coding<MixerAppState::AppEntry>::encode(const MixerAppState::AppEntry& v) {
    return json::ObjectWriter()
        .set("bundleID", v.bundleID)
        .set("name", v.name)
        .set("volume", v.volume)
        .set("isSystem", v.isSystem)
        .set("isCued", v.isCued)
        .set("canCue", v.canCue)
        .set("cueVolume", v.cueVolume)
        .set("isEmpty", v.isEmpty)
        .object();
}

std::optional<MixerAppState::AppEntry> json::Coding<MixerAppState::AppEntry>::decode(const QJsonValue& value) {
    json::ObjectReader in(value);
    MixerAppState::AppEntry v;
    v.bundleID = in.required<QString>("bundleID");
    v.name = in.required<QString>("name");
    v.volume = in.required<float>("volume");
    v.isSystem = in.required<bool>("isSystem");
    v.isCued = in.required<bool>("isCued");
    v.canCue = in.required<bool>("canCue");
    v.cueVolume = in.required<float>("cueVolume");
    v.isEmpty = in.required<bool>("isEmpty");
    return in.result(std::move(v));
}

QJsonValue json::Coding<MixerAppState>::encode(const MixerAppState& v) {
    return json::ObjectWriter()
        .set("apps", v.apps)
        .set("slots", v.consoleSlots)
        .set("snapshotNames", v.snapshotNames)
        .set("isPanicked", v.isPanicked)
        .object();
}

std::optional<MixerAppState> json::Coding<MixerAppState>::decode(const QJsonValue& value) {
    json::ObjectReader in(value);
    MixerAppState v;
    v.apps = in.required<std::vector<MixerAppState::AppEntry>>("apps");
    v.consoleSlots = in.required<QStringList>("slots");
    v.snapshotNames = in.required<QStringList>("snapshotNames");
    v.isPanicked = in.required<bool>("isPanicked");
    return in.result(std::move(v));
}

}  // namespace quellor
