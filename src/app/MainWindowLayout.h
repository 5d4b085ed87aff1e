#pragma once
// The decisions of the main window that are not pixels: the sources column's width, its slide, and
// the words of the setup naming prompt. SplitDrag follows the split handle's drag and SheetState
// says which sheet the application's requests open.
#include <QRect>
#include <QString>
#include <functional>
#include <optional>

#include "app/SheetState.h"
#include "app/ShellMetrics.h"

namespace quellor {

// The stored width, but never more than 27 % of the window unless that would be under 240.
double sourcesColumnWidth(double storedWidth, double contentWidth);

// Where the parts of the main window's content go. Left to right: the sources column, the 1-pixel
// slot of the split handle, a hair line, the console column. While the sources column slides it
// keeps its width and moves out to the left, the console following its edge. The notices sit at
// the top of whichever column is in full view, inset by a margin, the column's content below them.
struct MainWindowFrames {
    bool sourcesShown = false;
    bool handleShown = false;      // not while the column moves
    int handleSlot = 0;            // x of the handle's slot
    QRect sources;                 // in the content
    QRect sourcesContent;          // in the sources column
    QRect hairline;                // in the content
    QRect console;                 // in the content
    QRect topBar;                  // in the console column, with its hair line
    QRect consoleContent;          // in the console column
    std::optional<QRect> notices;  // in the content; none while they need no room
};
// `size`: the content's; `sourcesWidth`: sourcesColumnWidth() at that size; `sidebarShown`: how far
// the sources column stands in (1) or out (0); `noticeHeight`: the height the notices need at a
// width (0 for none).
MainWindowFrames mainWindowFrames(QSize size, double sourcesWidth, double sidebarShown,
                                  const std::function<int(int width)>& noticeHeight);

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
