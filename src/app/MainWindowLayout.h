#pragma once
// The decisions of the main window that are not pixels: the sources column's width, the split
// handle's drag, and which sheet the application's requests open.
#include <QString>
#include <optional>

#include "app/AppNotifier.h"

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

// One drag of a split handle. The translation is measured from where the drag began, so the size
// follows the pointer exactly and does not drift.
class SplitDrag {
public:
    SplitDrag(double lower, double upper, bool growsAway) : lower_(lower), upper_(upper), growsAway_(growsAway) {}

    // The new size for a drag that has moved `translation` since it began; `current` is the size
    // now, taken as the start on the first change of a drag.
    double changed(double current, double translation);
    void ended() { startSize_.reset(); }
    bool active() const { return startSize_.has_value(); }

private:
    double lower_, upper_;
    bool growsAway_;
    std::optional<double> startSize_;
};

enum class SetupPrompt { New, Rename };

// The two sheets of the main window. They are independent; a new prompt replaces the one shown.
struct SheetState {
    bool showSettings = false;
    std::optional<SetupPrompt> setupPrompt;

    void handle(AppNotification notification);
};

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
