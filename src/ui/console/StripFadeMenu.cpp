#include "ui/console/StripFadeMenu.h"

#include "ui/console/ConsoleFades.h"
#include "ui/console/StripModel.h"

namespace quellor {

namespace {

constexpr int kFadeOutSeconds[] = {1, 3, 5, 10};
constexpr int kFadeInSeconds[] = {1, 3, 5};

}  // namespace

QString fadeKey(const StripModel& model) { return model.targetID.isEmpty() ? model.name : model.targetID; }

MenuModel fadeSection(const StripModel& model, ConsoleFades& fades) {
    const QString key = fadeKey(model);
    auto fadeTo = [&](float to, int seconds) {
        return [fades = &fades, key, setter = model.setVolume, from = model.volume, to, seconds] {
            fades->start(key, setter, from, to, seconds);
        };
    };
    MenuModel section{MenuItem::section(QStringLiteral("Fade"))};
    for (int seconds : kFadeOutSeconds)
        section.push_back(MenuItem::command(QStringLiteral("Fade out, %1 s").arg(seconds), fadeTo(0.0f, seconds)));
    for (int seconds : kFadeInSeconds)
        section.push_back(MenuItem::command(QStringLiteral("Fade in to 100 %, %1 s").arg(seconds), fadeTo(1.0f, seconds)));
    section.push_back(MenuItem::command(QStringLiteral("Stop fade"), [fades = &fades, key] { fades->cancel(key); }));
    return section;
}

}  // namespace quellor
