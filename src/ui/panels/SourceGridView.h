#pragma once
// The source grid, the panel of the main window's left column: a 44-point header "SOURCES", a hair
// rule, and a scrolling area with the section "APPS" (one tile per application, or "No apps are
// running") and the section "I/O" (MAIN, PHONES, INPUT). A click on a tile puts its source on the
// first free strip, its menu puts it on or takes it off a strip, and a drag carries it to any strip
// of the console.
//
// The tiles follow the engine's slots and applications in one posted rebuild per burst of changes.
// A tile keeps its widget while its source stays. While a drag or a menu of a tile runs (each has an
// event loop of its own) the grid does not rebuild: the tile that started it must outlive it; the
// rebuild follows when it ends.
//
// Threads: main thread only.

#include <QWidget>
#include <map>
#include <vector>

#include "ui/panels/SourceGridActions.h"
#include "ui/panels/SourceTile.h"

class QScrollArea;

namespace quellor {

class MixerEngine;
class SourceTileWidget;
class ThemeController;
class UserDefaults;
class ViewRefresh;

class SourceGridView : public QWidget {
    Q_OBJECT
public:
    static constexpr double kTracking = 1.2;

    static inline const QString kTitle = QStringLiteral("SOURCES");
    static inline const QString kAppsTitle = QStringLiteral("APPS");
    static inline const QString kIOTitle = QStringLiteral("I/O");
    static inline const QString kNoApps = QStringLiteral("No apps are running");

    SourceGridView(MixerEngine& engine, UserDefaults& defaults, ThemeController& themes, QWidget* parent = nullptr);
    ~SourceGridView() override;

    // The tile of a source id, while it is shown.
    SourceTileWidget* tile(const QString& id) const;
    SourceGridActions& actions() { return actions_; }

protected:
    void paintEvent(QPaintEvent*) override;
    void resizeEvent(QResizeEvent*) override;

private:
    class Content;

    void rebuild();
    void place();
    // Places the sections for a viewport `viewportWidth` wide; returns the content's height.
    int placeIn(int viewportWidth);
    SourceTileWidget* tileFor(const SourceTile& tile);
    void runDrag(const QString& text, SourceTileWidget* from);
    void runMenu(const QString& id, QPoint globalPos);

    MixerEngine& engine_;
    ThemeController& themes_;
    SourceGridActions actions_;
    QScrollArea* scroll_;
    Content* content_;
    ViewRefresh* refresh_;
    std::vector<SourceTile> appTiles_;
    std::map<QString, SourceTileWidget*> tiles_;
    int nestedLoops_ = 0;
};

}  // namespace quellor
