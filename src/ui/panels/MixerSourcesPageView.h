#pragma once
// The mixer view's sources page: the audio-producing applications, one row each under the heading
// "Sources", in a list framed to the height its rows ask for; "Waiting for the audio system…" until
// the engine has started; "No apps are running" while no application is known. The permission
// banner, when given, stands above the sources while the engine lacks the capture permission; the
// footer, when given (the update notice), stands below them and shows itself as its owner decides.
//
// Each row is an AppRowWidget, put on the drop-zone board when one is given, so that a dragged
// device can find it. The page rebuilds in one posted pass per burst of changes of the engine's
// state, its applications and their outputs; a change of level alone leaves the rows to themselves.
//
// Threads: main thread only.

#include <QWidget>
#include <optional>
#include <vector>

#include "audio/AudioApp.h"
#include "ui/panels/MixerSourcesPage.h"
#include "ui/style/ThemeMode.h"

class QScrollArea;
class QVBoxLayout;

namespace quellor {

class AppRowWidget;
class DropZoneBoard;
class MIDIMappingManager;
class MixerEngine;
class ThemeController;
class ViewRefresh;

class MixerSourcesPageView : public QWidget {
    Q_OBJECT
public:
    MixerSourcesPageView(MixerEngine& engine, MIDIMappingManager& mappings, ThemeController& themes,
                         DropZoneBoard* board = nullptr, QWidget* parent = nullptr);
    ~MixerSourcesPageView() override;

    // Taken over; shown only while the capture permission is missing.
    void setPermissionBanner(QWidget* banner);
    // The application row under a dragged device (none: no row lights up).
    void setRouteTarget(std::optional<QString> bundleID);

    MixerSourcesPage::Form form() const { return form_; }
    // The list's scrolling area, while the page shows the list.
    QScrollArea* list() const { return list_; }
    const std::vector<AppRowWidget*>& rows() const { return rows_; }

protected:
    void paintEvent(QPaintEvent*) override;

private:
    void rebuild();
    // The layout of `box`: the page's heading, then what the caller stacks below it.
    QVBoxLayout* headedStack(QWidget* box);
    QWidget* waitingLine();
    QWidget* emptyState();
    QWidget* appList(const std::vector<AudioApp>& apps);

    MixerEngine& engine_;
    MIDIMappingManager& mappings_;
    ThemeController& themes_;
    DropZoneBoard* board_;
    std::optional<QString> routeTarget_;
    QVBoxLayout* column_;
    QWidget* permission_ = nullptr;
    QWidget* sources_ = nullptr;
    QScrollArea* list_ = nullptr;
    std::vector<AppRowWidget*> rows_;
    MixerSourcesPage::Form form_ = MixerSourcesPage::Form::Waiting;
    ViewRefresh* refresh_;
    // What the shown content was built from.
    struct Shape {
        bool started = false;
        ThemeMode theme = ThemeMode::Studio;
        std::optional<QString> routeTarget;
        std::vector<AudioApp> apps;
        std::vector<QStringList> outputs;
        bool operator==(const Shape&) const = default;
    };
    Shape shape_;
};

}  // namespace quellor
