#pragma once
// A plain stand-in for the console until its real layout exists: the strips of the first 8 or 16
// console slots (the stored strip count), eight to a row, each slot's strip or an empty one, all
// rebuilt in one posted pass per burst of engine changes. Rows keep their strips' widgets, so a
// drag or a meter's peak hold survives a rebuild. Renaming opens the naming prompt; the other
// strip choices go straight to the engine.
//
// It knows nothing of compact rows, scrolling or drops: the console's own view replaces it whole.
//
// Threads: main thread only.

#include <QWidget>
#include <memory>
#include <vector>

#include "ui/console/StripMeterClock.h"

namespace quellor {

class ConsoleStripWidget;
class MIDIMappingManager;
class MixerEngine;
class PromptSheet;
class ThemeController;
class UserDefaults;
class ViewRefresh;

class InterimConsoleRow : public QWidget {
    Q_OBJECT
public:
    static constexpr int kPadding = 8;
    static constexpr int kMinimumGap = 8;
    static constexpr int kRowSpacing = 4;
    static constexpr int kStripsPerRow = 8;
    static constexpr int kMaximumStripHeight = 440;

    // `mappings` none: the row reads the stored MIDI mappings through a manager of its own.
    InterimConsoleRow(MixerEngine& engine, MIDIMappingManager* mappings, UserDefaults& defaults, ThemeController& themes,
                      QWidget* parent = nullptr);
    ~InterimConsoleRow() override;

    // The strip of slot `index` (0-based), while it is shown.
    ConsoleStripWidget* strip(int index) const;
    int stripCount() const { return int(strips_.size()); }
    // Where the strip of slot `index` stands in a row widget of `size` showing `count` strips.
    static QRect stripRect(int index, int count, QSize size);
    PromptSheet* renamePrompt() const { return prompt_; }

protected:
    void resizeEvent(QResizeEvent*) override;

private:
    void rebuild();
    void relayout();
    void rename(const QString& id);

    MixerEngine& engine_;
    std::unique_ptr<MIDIMappingManager> ownMappings_;
    MIDIMappingManager& mappings_;
    UserDefaults& defaults_;
    ThemeController& themes_;
    StripMeterClock clock_;
    ViewRefresh* refresh_;
    PromptSheet* prompt_;
    std::vector<ConsoleStripWidget*> strips_;
};

}  // namespace quellor
