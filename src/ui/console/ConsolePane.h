#pragma once
// The console below its top bar: the grid of strips (ConsoleView) on the theme's `void`, and above
// it, in a layer of its own, the MAIN strip's mute button. The grid ignores the pointer while the
// console is locked; the mute layer is not part of the grid, so the MAIN mute keeps working then.
//
// The button stands over the band that the strip showing MAIN leaves free, 3 points narrower on each
// side and 18 high, and follows that strip through swaps, strip-count and layout changes, resizes and
// scrolls; it is hidden while no shown strip carries MAIN or the band is out of view.
//
// Threads: main thread only.

#include <QAbstractButton>
#include <QWidget>

#include "ui/console/MainMute.h"

namespace quellor {

class ConsoleView;
class MIDIMappingManager;
class MixerEngine;
class ThemeController;
class UserDefaults;

class MainMuteButton : public QAbstractButton {
    Q_OBJECT
public:
    MainMuteButton(MixerEngine& engine, ThemeController& themes, QWidget* parent = nullptr);
    const MainMuteFace& face() const { return face_; }

protected:
    void paintEvent(QPaintEvent*) override;
    bool hitButton(const QPoint& pos) const override;

private:
    void refresh();

    MixerEngine& engine_;
    ThemeController& themes_;
    MainMuteFace face_;
};

class ConsolePane : public QWidget {
    Q_OBJECT
public:
    // `mappings` none: the grid reads the stored MIDI mappings through a manager of its own.
    ConsolePane(MixerEngine& engine, MIDIMappingManager* mappings, UserDefaults& defaults, ThemeController& themes,
                QWidget* parent = nullptr);

    ConsoleView* view() const { return view_; }
    MainMuteButton* mainMute() const { return mainMute_; }

protected:
    void paintEvent(QPaintEvent*) override;
    void resizeEvent(QResizeEvent*) override;

private:
    void placeMainMute();

    MixerEngine& engine_;
    UserDefaults& defaults_;
    ThemeController& themes_;
    ConsoleView* view_;
    MainMuteButton* mainMute_;
};

}  // namespace quellor
