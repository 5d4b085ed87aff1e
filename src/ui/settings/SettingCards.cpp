#include "ui/settings/SettingCards.h"

#include <QPointer>

#include "base/UserDefaults.h"
#include "engine/MeterSource.h"
#include "ui/console/StoredStripCount.h"

namespace quellor {

SlideSwitchWidget::Options meterSourceSwitch(UserDefaults& defaults, const Palette& palette) {
    const MeterSource source = MeterSources::read(defaults);
    SlideSwitchWidget::Options options;
    options.left = MeterSources::label(MeterSource::pre);
    options.right = MeterSources::label(MeterSource::post);
    options.isRight = source == MeterSource::post;
    options.rightLamp = palette.brand;
    options.label = QStringLiteral("Meter source: %1. Switch to %2")
                        .arg(MeterSources::label(source), MeterSources::label(MeterSources::toggled(source)));
    options.identifier = QStringLiteral("meter-source");
    options.help = QStringLiteral("Meters read before the fader (PRE) or after it (POST)");
    options.captionColor = palette.textMuted;
    options.set = [store = QPointer<UserDefaults>(&defaults)](bool isRight) {
        if (store) store->setString(MeterSources::kDefaultsKey, MeterSources::rawValue(isRight ? MeterSource::post : MeterSource::pre));
    };
    return options;
}

SlideSwitchWidget::Options stripCountSwitch(UserDefaults& defaults, const Palette& palette) {
    const bool sixteen = storedStripCount(defaults) == 16;
    SlideSwitchWidget::Options options;
    options.left = QStringLiteral("8");
    options.right = QStringLiteral("16");
    options.isRight = sixteen;
    options.rightLamp = palette.brand;
    options.label = sixteen ? QStringLiteral("Fader mode: 16 strips. Switch to 8") : QStringLiteral("Fader mode: 8 strips. Switch to 16");
    options.identifier = QStringLiteral("strip-count");
    options.help = QStringLiteral("Fader mode: 8 faders, or 16 in two rows. Strips 9-16 keep their sources when you go back to 8");
    options.captionColor = palette.textMuted;
    options.set = [store = QPointer<UserDefaults>(&defaults)](bool isRight) {
        if (store) store->setInteger(QString::fromLatin1(kConsoleStripsKey), isRight ? 16 : 8);
    };
    return options;
}

}  // namespace quellor
