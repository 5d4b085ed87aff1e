#include "app/MainWindowLayout.h"

#include <algorithm>

namespace quellor {

double sourcesColumnWidth(double storedWidth, double contentWidth) {
    return std::min(storedWidth, std::max(0.27 * contentWidth, 240.0));
}

PromptText promptText(SetupPrompt prompt, const std::optional<QString>& currentSetupName) {
    if (prompt == SetupPrompt::New) return {QStringLiteral("New setup"), QString()};
    return {QStringLiteral("Rename setup"), currentSetupName.value_or(QString())};
}

double easeInOut(double t) {
    t = std::clamp(t, 0.0, 1.0);
    return t < 0.5 ? 2 * t * t : 1 - (2 - 2 * t) * (2 - 2 * t) / 2;
}

}  // namespace quellor
