#include "app/MainWindowLayout.h"

#include <algorithm>
#include <cmath>

namespace quellor {

double sourcesColumnWidth(double storedWidth, double contentWidth) {
    using M = ShellMetrics::SourcesColumn;
    return std::min(storedWidth, std::max(M::kWindowShare * contentWidth, M::kNarrowestCap));
}

MainWindowFrames mainWindowFrames(QSize size, double sourcesWidth, double sidebarShown,
                                  const std::function<int(int width)>& noticeHeight) {
    using M = ShellMetrics::MainWindow;
    MainWindowFrames f;
    const int h = size.height();
    const int margin = M::kNoticeMargin;
    const bool noticesInSources = sidebarShown == 1;
    // The room the notices take at the top of a column `columnWidth` wide.
    auto noticeSpace = [&](int columnWidth) {
        const int height = noticeHeight(columnWidth - 2 * margin);
        return height > 0 ? height + 2 * margin : 0;
    };
    f.sourcesShown = sidebarShown > 0;
    f.handleShown = f.sourcesShown && sidebarShown == 1;
    int x = 0;
    if (f.sourcesShown) {
        const int w = int(std::lround(sourcesWidth));
        // The column and the two pixels after it (the handle's slot and the hair line) slide out together.
        const int left = int(std::lround(-(1 - sidebarShown) * (w + 2)));
        f.sources = QRect(left, 0, w, h);
        const int top = noticesInSources ? noticeSpace(w) : 0;
        if (noticesInSources && top > 0) f.notices = QRect(left + margin, margin, w - 2 * margin, top - 2 * margin);
        f.sourcesContent = QRect(0, top, w, std::max(0, h - top));
        f.handleSlot = w;
        f.hairline = QRect(left + w + 1, 0, 1, h);
        x = std::max(0, left + w + 2);
    }
    const int consoleWidth = std::max(0, size.width() - x);
    f.console = QRect(x, 0, consoleWidth, h);
    const int barBottom = M::kTopBarHeight + 1;
    f.topBar = QRect(0, 0, consoleWidth, barBottom);
    const int consoleTop = barBottom + (noticesInSources ? 0 : noticeSpace(consoleWidth));
    if (!noticesInSources && consoleTop > barBottom)
        f.notices =
            QRect(x + margin, barBottom + margin, consoleWidth - 2 * margin, consoleTop - barBottom - 2 * margin);
    f.consoleContent = QRect(0, consoleTop, consoleWidth, std::max(0, h - consoleTop));
    return f;
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
