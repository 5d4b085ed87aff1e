#include "ui/console/StripReadout.h"

#include <cmath>

#include "base/Level.h"
#include "base/UserDefaults.h"
#include "ui/console/StripModel.h"

namespace quellor {

bool readoutShowsDB(const UserDefaults& defaults) { return defaults.boolOr(QString::fromLatin1(kReadoutDBKey), false); }

void toggleReadoutUnit(UserDefaults& defaults) {
    defaults.setBool(QString::fromLatin1(kReadoutDBKey), !readoutShowsDB(defaults));
}

QString readoutText(float volume, bool isActive, bool showDB) {
    if (!isActive) return QStringLiteral("OFF");
    if (!showDB) return QString::number(truncatedPercent(volume)) + QLatin1Char('%');
    volume = clampLevel(volume);
    if (volume <= 0.0005f) return QStringLiteral("-∞");
    const double dB = 60.0 * std::log10(double(volume));
    // Just below full level would print as "-0.0".
    if (std::abs(dB) < 0.05) return QStringLiteral("0.0");
    return QString::asprintf("%.1f", dB);
}

int truncatedPercent(float volume) {
    // Kept in a float on purpose: the product rounded to single precision is what is truncated.
    const float product = clampLevel(volume) * 100.0f;
    return int(product);
}

QString faderAccessibilityLabel(const QString& name) {
    return name.isEmpty() ? QStringLiteral("Empty fader") : name + QStringLiteral(" fader");
}

QString faderAccessibilityValue(float volume) {
    return QString::number(truncatedPercent(volume)) + QStringLiteral(" percent");
}

std::optional<float> adjustedLevel(float volume, bool isActive, bool increment) {
    if (!isActive) return std::nullopt;
    const float moved = volume + (increment ? kAccessibilityStep : -kAccessibilityStep);
    return clampLevel(moved);
}

void adjustFader(const StripModel& model, bool increment) {
    if (auto level = adjustedLevel(model.volume, model.isActive, increment); level && model.setVolume)
        model.setVolume(*level);
}

}  // namespace quellor
