#include "ui/settings/SettingCards.h"

#include <QPointer>
#include <algorithm>

#include "base/UserDefaults.h"
#include "engine/MeterSource.h"
#include "ui/console/StoredStripCount.h"

namespace quellor {

std::vector<SettingCardLook::IconShape> SettingCardLook::meterIcon() {
    std::vector<IconShape> bars;
    double x = 0;
    for (const double h : {5.0, 9.0, 12.0, 7.0}) {
        bars.push_back({QRectF(x, kIconHeight - h, 2, h), 0.6});
        x += 2 + 2;
    }
    return bars;
}

std::vector<SettingCardLook::IconShape> SettingCardLook::stripIcon() {
    constexpr double kCell = 5, kTrack = 1.6, kKnobHeight = 2.6;
    std::vector<IconShape> shapes;
    double x = 0;
    for (const double v : {3.0, 8.0, 5.0}) {
        shapes.push_back({QRectF(x + (kCell - kTrack) / 2, 0, kTrack, kIconHeight), 0.6});
        const double middle = kIconHeight / 2 + (v - 6);
        shapes.push_back({QRectF(x, middle - kKnobHeight / 2, kCell, kKnobHeight), 0.8});
        x += kCell + 3;
    }
    return shapes;
}

double SettingCardLook::iconWidth(const std::vector<IconShape>& shapes) {
    double right = 0;
    for (const IconShape& s : shapes) right = std::max(right, s.rect.right());
    return right;
}

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
