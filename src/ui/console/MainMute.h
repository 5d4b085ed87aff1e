#pragma once
// The MAIN strip's mute: it engages or releases the engine's panic, which silences every source at
// once and keeps every fader, mute, solo, cue and route, so that releasing it brings the mix back
// exactly. The console pane draws it above the strips (which is why it works while the console is
// locked), over the band that the MAIN strip leaves free where other strips have their buttons.
//
// A click asks for the opposite of the state the face shows; if the engine has already reached that
// state (a remote panic command came first), the click changes nothing.
//
// Placement. The band of the strip showing MAIN gives the place: the button is 3 points narrower on
// each side (never narrower than 0, and at width 0 it cannot be clicked), 18 high, centred on the
// band. It follows the strip wherever it goes (another slot, another strip count, a resize, a
// scroll) and is hidden while the band is not wholly inside the visible part of the grid, so it
// never floats over the pane's edge or the top bar. Should MAIN stand in two shown slots, the
// later one carries it.
//
// Threads: values only; the click runs on the main thread.

#include <QColor>
#include <QRectF>
#include <QString>
#include <QStringList>
#include <optional>

#include "ui/style/ThemeMode.h"

namespace quellor {

class MixerEngine;

struct MainMuteFace {
    static inline const QString kText = QStringLiteral("M");
    static inline const QString kObjectName = QStringLiteral("main-mute");

    bool panicked = false;  // the state the face shows, and whose opposite a click asks for
    QColor text;
    QColor fill;
    QColor border;  // transparent while panicked
    QString accessibilityLabel;
    QString help;

    static MainMuteFace of(bool panicked, ThemeMode theme);
    // One click on this face.
    void click(MixerEngine& engine) const;
};

// The shown slot whose strip carries the MAIN mute: the last of the first `shownCount` holding MAIN.
std::optional<int> mainMuteSlot(const QStringList& slotIDs, int shownCount);

// The button's rectangle in the pane, from the MAIN strip's band (`band`, in the pane's coordinates;
// none without a MAIN strip) and the visible part of the grid (`visible`, likewise); none while the
// band is out of view.
std::optional<QRectF> mainMuteRect(const std::optional<QRectF>& band, const QRectF& visible);

}  // namespace quellor
