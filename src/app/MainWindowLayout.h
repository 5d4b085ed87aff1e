#pragma once
// The decisions of the main window that are not pixels: the sources column's width, its slide, and
// the words of the setup naming prompt. SplitDrag follows the split handle's drag and SheetState
// says which sheet the application's requests open.
#include <QString>
#include <optional>

#include "app/SheetState.h"
#include "app/ShellMetrics.h"

namespace quellor {

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

// The window's first size and the sources column's first width, by which the desktop checks find
// them on screen.
inline constexpr int kMainWindowWidth = ShellMetrics::MainWindow::kWidth;
inline constexpr int kMainWindowHeight = ShellMetrics::MainWindow::kHeight;
inline constexpr double kDefaultLeftColumnWidth = ShellMetrics::SourcesColumn::kDefaultWidth;

}  // namespace quellor
