#include "app/MainWindowLayout.h"

#include <algorithm>

namespace quellor {

double sourcesColumnWidth(double storedWidth, double contentWidth) {
    return std::min(storedWidth, std::max(0.27 * contentWidth, 240.0));
}

double SplitDrag::changed(double current, double translation) {
    if (!startSize_) startSize_ = current;
    double d = growsAway_ ? -translation : translation;
    double size = *startSize_ + d;
    if (size <= lower_) size = lower_;
    return std::min(upper_, size);
}

void SheetState::handle(AppNotification notification) {
    switch (notification) {
    case AppNotification::ShowSettings: showSettings = true; break;
    case AppNotification::DismissSheets:
        showSettings = false;
        setupPrompt.reset();
        break;
    case AppNotification::NewSetup: setupPrompt = SetupPrompt::New; break;
    case AppNotification::RenameSetup: setupPrompt = SetupPrompt::Rename; break;
    }
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
