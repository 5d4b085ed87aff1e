#pragma once
// The row of one source application as a widget: it paints AppRow and forwards input. The
// level slider and its speaker reach the engine's per-application volume and mute; an application
// that plays to explicit devices shows them instead, each with its hardware volume and a button
// that stops playing there; the icon starts a drag that puts the application on a console strip;
// the context menu resets, returns to the default output and learns MIDI. It rebuilds once per
// burst of mix, device, mapping or theme changes.
//
// The row puts itself on the drop-zone board under its application's bundle identifier; the host
// marks it with setRouteTarget() while a dragged device is over it.
//
// Threads: main thread only.

#include <QWidget>
#include <memory>
#include <vector>

#include "ui/panels/AppRow.h"

class QGraphicsOpacityEffect;
class QLabel;
class QToolButton;
class QMimeData;
class QVBoxLayout;

namespace quellor {

class ControlSliderWidget;
class DropZoneBoard;
class LevelRowWidget;
class PanelMIDIBadgeWidget;
class SymbolView;
class ThemeController;
class ViewRefresh;

class AppRowWidget : public QWidget {
    Q_OBJECT
public:
    // Needs the engine, the MIDI mappings and the theme; the board (optional) receives the row's
    // zone. Shows no application until setApp().
    AppRowWidget(MixerEngine& engine, MIDIMappingManager& mappings, ThemeController& themes,
                 DropZoneBoard* board = nullptr, QWidget* parent = nullptr);
    ~AppRowWidget() override;

    // The application shown from now on (the host hands in each new value of it).
    void setApp(const AudioApp& app, bool isRouteTarget = false);
    void setRouteTarget(bool isRouteTarget);
    const AudioApp& app() const { return app_; }
    const AppRow& model() const { return model_; }
    MenuModel contextMenu() const;
    // What a drag of the icon carries: the application's drag text, as plain text.
    std::unique_ptr<QMimeData> dragData() const;
    // Builds the model now (the widget also does so after every burst of changes).
    void rebuild();

protected:
    void paintEvent(QPaintEvent*) override;
    void contextMenuEvent(QContextMenuEvent*) override;

private:
    class IconHandle;
    struct OutputEntry {
        QString uid;
        QWidget* box = nullptr;
        SymbolView* arrow = nullptr;
        QLabel* name = nullptr;
        QToolButton* remove = nullptr;
        LevelRowWidget* level = nullptr;
    };
    void rebuildOutputs();

    MixerEngine& engine_;
    MIDIMappingManager& mappings_;
    ThemeController& themes_;
    DropZoneBoard* board_;
    AudioApp app_;
    bool isRouteTarget_ = false;
    AppRow model_;
    QWidget* header_;
    QGraphicsOpacityEffect* headerFade_;
    IconHandle* icon_;
    QLabel* name_;
    PanelMIDIBadgeWidget* badge_;
    QLabel* levelText_;
    ControlSliderWidget* slider_;
    QGraphicsOpacityEffect* sliderFade_;
    QWidget* routes_;
    QVBoxLayout* routesLayout_;
    std::vector<OutputEntry> outputs_;
    ViewRefresh* refresh_;
};

}  // namespace quellor
