#include "ui/console/SlotSourceMenu.h"

#include <QPointer>

#include "audio/AudioProcessMonitor.h"
#include "engine/MixerEngine.h"
#include "engine/RouteID.h"

namespace quellor {

MenuModel slotSourceMenu(int index, MixerEngine& engine) {
    const QPointer<MixerEngine> weak = &engine;
    auto entry = [&](const QString& title, const QString& symbol, const QString& id) {
        MenuItem item = MenuItem::command(title, [weak, id, index] {
            if (weak) weak->setSlot(id, index);
        });
        item.symbol = symbol;
        return item;
    };
    MenuModel menu{MenuItem::section(QStringLiteral("Buses")),
                   entry(QStringLiteral("MAIN"), QStringLiteral("hifispeaker.fill"), RouteID::kMainBus),
                   entry(QStringLiteral("PHONES"), QStringLiteral("headphones"), RouteID::kPhonesBus),
                   MenuItem::section(QStringLiteral("System")),
                   entry(QStringLiteral("Output"), QStringLiteral("speaker.wave.3.fill"), RouteID::kSystemOutput),
                   entry(QStringLiteral("Input"), QStringLiteral("mic.fill"), RouteID::kSystemInput)};
    const auto& apps = engine.processMonitor().apps();
    if (!apps.empty()) {
        menu.push_back(MenuItem::section(QStringLiteral("Apps")));
        for (const AudioApp& app : apps) menu.push_back(entry(app.name, QStringLiteral("app"), app.bundleID));
    }
    return menu;
}

}  // namespace quellor
