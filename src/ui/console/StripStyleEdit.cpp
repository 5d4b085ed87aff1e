#include "ui/console/StripStyleEdit.h"

#include <QPointer>

#include "engine/MixerEngine.h"

namespace quellor {

namespace {

void editStyle(MixerEngine& engine, const QString& id, const std::function<void(StripStyle&)>& edit) {
    StripStyleMap styles = engine.stripStyles();
    edit(styles[id]);
    engine.setStripStyles(std::move(styles));
}

bool isBlank(QChar c) { return c == u' ' || c == u'\t'; }

}  // namespace

QString stripStyleName(const MixerEngine& engine, const QString& id) {
    const auto it = engine.stripStyles().find(id);
    return it != engine.stripStyles().end() ? it->second.name.value_or(QString()) : QString();
}

void renameStrip(MixerEngine& engine, const QString& id, const QString& typed) {
    qsizetype begin = 0, end = typed.size();
    while (begin < end && isBlank(typed[begin])) ++begin;
    while (end > begin && isBlank(typed[end - 1])) --end;
    const QString name = typed.mid(begin, end - begin);
    editStyle(engine, id, [&](StripStyle& s) { s.name = name.isEmpty() ? std::nullopt : std::optional(name); });
}

void setStripColor(MixerEngine& engine, const QString& id, std::optional<int> color) {
    editStyle(engine, id, [&](StripStyle& s) { s.color = color; });
}

void setStripGroup(MixerEngine& engine, const QString& id, std::optional<QString> group) {
    editStyle(engine, id, [&](StripStyle& s) { s.group = std::move(group); });
}

StripCallbacks stripStyleCallbacks(MixerEngine& engine, const QString& id, std::function<void()> onRename) {
    const QPointer<MixerEngine> weak = &engine;
    return {std::move(onRename),
            [weak, id](std::optional<int> color) {
                if (weak) setStripColor(*weak, id, color);
            },
            [weak, id](std::optional<QString> group) {
                if (weak) setStripGroup(*weak, id, std::move(group));
            }};
}

}  // namespace quellor
