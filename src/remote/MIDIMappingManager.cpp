#include "remote/MIDIMappingManager.h"

#include "base/JsonDefaults.h"
#include "base/Observable.h"

#include <QJsonDocument>
#include <algorithm>

namespace quellor {

MIDIMappingManager::MIDIMappingManager(UserDefaults& defaults, QObject* parent)
    : QObject(parent), defaults_(defaults) {
    load();
}

void MIDIMappingManager::setLearningTarget(std::optional<QString> target) {
    if (assignIfChanged(learningTarget_, std::move(target))) emit learningTargetChanged();
}

void MIDIMappingManager::setMappings(Mappings mappings) {
    if (assignIfChanged(mappings_, std::move(mappings))) emit mappingsChanged();
}

void MIDIMappingManager::load() {
    if (auto decoded = JsonDefaults::load<Mappings>(kDefaultsKey, defaults_)) {
        setMappings(std::move(*decoded));
        return;
    }
    auto legacy = defaults_.dictionaryValue(kDefaultsKey);
    if (!legacy) return;
    Mappings migrated;
    for (auto it = legacy->begin(); it != legacy->end(); ++it) {
        if (it.value().typeId() != QMetaType::QString) return;
        migrated[it.key()] = MIDIMapping{it.value().toString(), std::nullopt};
    }
    setMappings(std::move(migrated));
    save();
    log_.info("Migratoitu %ld MIDI-kartoitusta lähdetietoiseen muotoon", long(mappings_.size()));
}

void MIDIMappingManager::save() { JsonDefaults::save(mappings_, kDefaultsKey, defaults_); }

std::optional<int> MIDIMappingManager::ccNumber(const QString& target) const {
    for (const auto& [key, mapping] : mappings_) {
        if (mapping.target != target) continue;
        bool ok = false;
        int n = key.toInt(&ok);
        return ok ? std::optional<int>(n) : std::nullopt;
    }
    return std::nullopt;
}

void MIDIMappingManager::clearMapping(const QString& target) {
    Mappings kept = mappings_;
    std::erase_if(kept, [&](const auto& entry) { return entry.second.target == target; });
    setMappings(std::move(kept));
    save();
}

void MIDIMappingManager::assign(int cc, std::optional<MIDISource> source, const QString& target) {
    clearMapping(target);
    Mappings next = mappings_;
    next[QString::number(cc)] = MIDIMapping{target, source ? std::optional(source->id) : std::nullopt};
    setMappings(std::move(next));
    save();
    log_.info("Määritetty MIDI CC %ld (lähde %d) -> %s", long(cc), source ? source->id : 0, qPrintable(target));
}

std::optional<QString> MIDIMappingManager::target(int cc, std::optional<MIDISource> source) {
    auto it = mappings_.find(QString::number(cc));
    if (it == mappings_.end()) return std::nullopt;
    const MIDIMapping m = it->second;
    if (!source) return m.target;
    if (m.sourceID) return *m.sourceID == source->id ? std::optional(m.target) : std::nullopt;
    if (!source->isHardware) return std::nullopt;
    Mappings next = mappings_;
    next[it->first].sourceID = source->id;
    setMappings(std::move(next));
    save();
    log_.info("MIDI CC %ld sidottu lähteeseen %d", long(cc), source->id);
    return m.target;
}

std::optional<QString> MIDIMappingManager::routeForControl(int cc, std::optional<MIDISource> source) {
    if (learningTarget_) {
        QString learning = *learningTarget_;
        assign(cc, source, learning);
        setLearningTarget(std::nullopt);
        return std::nullopt;
    }
    return target(cc, source);
}

float MIDIMappingManager::faderValue(int midiValue) { return float(std::clamp(midiValue, 0, 127)) / 127.0f; }

}  // namespace quellor
