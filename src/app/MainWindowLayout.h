#pragma once
// The decisions of the main window that are not pixels: the sources column's width, its slide, and
// the words of the setup naming prompt. SplitDrag follows the split handle's drag and SheetState
// says which sheet the application's requests open.
#include <QString>
#include <optional>

#include "app/SheetState.h"

namespace quellor {

inline constexpr double kDefaultLeftColumnWidth = 344;
inline constexpr double kLeftColumnMinimum = 300;  // the handle's range
inline constexpr double kLeftColumnMaximum = 520;

// The stored width, but never more than 27 % of the window unless that would be under 240.
double sourcesColumnWidth(double storedWidth, double contentWidth);

// The sources column slides in and out over 0.2 s with ease-in-out timing.
inline constexpr double kSidebarSlideSeconds = 0.2;
// Ease-in-out of `t` (0...1, clamped): slow at both ends, quickest in the middle.
double easeInOut(double t);

// The heading and starting text of a naming prompt.
struct PromptText {
    QString title;
    QString initial;
};
PromptText promptText(SetupPrompt prompt, const std::optional<QString>& currentSetupName);
inline const QString kSetupNamePlaceholder = QStringLiteral("Setup name");

// Window sizes, in logical pixels.
inline constexpr int kMainWindowWidth = 1180;
inline constexpr int kMainWindowHeight = 900;
inline constexpr int kMainWindowMinWidth = 840;
inline constexpr int kMainWindowMinHeight = 640;

}  // namespace quellor
