#include "ui/console/StripContextMenu.h"

#include <QPointer>

#include "engine/MixerEngine.h"
#include "remote/MIDIMappingManager.h"
#include "ui/console/StripModel.h"

namespace quellor {

MenuModel midiLearnItems(const MIDILearnTitles& titles, const QString& target, MIDIMappingManager& mappings) {
    const QPointer<MIDIMappingManager> manager = &mappings;
    const bool mapped = mappings.ccNumber(target).has_value();
    MenuModel items;
    if (mappings.learningTarget() == target) {
        items.push_back(MenuItem::command(titles.learning, [manager] {
            if (manager) manager->setLearningTarget(std::nullopt);
        }));
    } else {
        // Learning another target moves over to this one.
        items.push_back(MenuItem::command(mapped ? titles.relearn : titles.learn, [manager, target] {
            if (manager) manager->setLearningTarget(target);
        }));
    }
    if (mapped)
        items.push_back(MenuItem::command(titles.clear, [manager, target] {
            if (manager) manager->clearMapping(target);
        }));
    return items;
}

MenuModel midiLearnItems(const QString& label, const QString& target, MIDIMappingManager& mappings) {
    return midiLearnItems({QStringLiteral("Learning %1 MIDI... (move a control now)").arg(label),
                           QStringLiteral("Learn %1 MIDI").arg(label), QStringLiteral("Re-learn %1 MIDI").arg(label),
                           QStringLiteral("Clear %1 MIDI Mapping").arg(label)},
                          target, mappings);
}

MenuModel stripContextMenu(int index, const StripModel& model, MixerEngine& engine, MIDIMappingManager& mappings,
                           const SourceMenuBuilder& sourceMenu) {
    // The source's style stays with the engine, for when the source comes back to a slot.
    MenuModel menu{MenuItem::command(QStringLiteral("Clear Slot"), [engine = QPointer<MixerEngine>(&engine), index] {
                       if (engine) engine->setSlot(QString(), index);
                   }),
                   MenuItem::separator()};
    if (sourceMenu)
        for (MenuItem& item : sourceMenu(index)) menu.push_back(std::move(item));
    if (model.midiTarget || model.cueMIDITarget) menu.push_back(MenuItem::separator());
    auto append = [&](const QString& label, const std::optional<QString>& target) {
        if (!target) return;
        for (MenuItem& item : midiLearnItems(label, *target, mappings)) menu.push_back(std::move(item));
    };
    append(QStringLiteral("Fader"), model.midiTarget);
    append(QStringLiteral("PFL"), model.cueMIDITarget);
    return menu;
}

}  // namespace quellor
