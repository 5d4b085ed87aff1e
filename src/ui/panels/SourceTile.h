#pragma once
// The tiles of the source grid: one per application that can sit on a console strip, then the three
// fixed I/O sources (MAIN, PHONES, INPUT). A tile's id is what a click, a menu item or a drag writes
// into the engine's slot list.
//
// Two running copies of one application share a bundle identifier, and so a strip: the grid shows
// the first of them only, so that one id never has two tiles. An application that reports no
// bundle identifier gets no tile: an empty id is what a free slot holds, so such a tile would claim
// the first free strip as its own and could never be put on one.
//
// The texts that depend on whether the tile's source is on a strip (its fader number, 1-based) are
// here too.
//
// Threads: values only.

#include <QString>
#include <optional>
#include <vector>

#include "audio/AudioApp.h"

namespace quellor {

class AudioProcessMonitor;

struct SourceTile {
    QString id;      // bundle identifier or fixed route id
    QString name;    // shown verbatim under the picture
    QString icon;    // icon name of the desktop's icon theme; empty for the fixed tiles
    QString symbol;  // symbol shown when there is no icon
    bool silent = false;  // the source plays nothing: the tile is dimmed

    bool operator==(const SourceTile&) const = default;
};

// The application tiles, in the list's order; `iconOf` names each application's icon.
template <class IconOf>
std::vector<SourceTile> appSourceTiles(const std::vector<AudioApp>& apps, IconOf iconOf);
std::vector<SourceTile> appSourceTiles(const AudioProcessMonitor& monitor);
// MAIN, PHONES and INPUT, in that order; never silent.
const std::vector<SourceTile>& ioSourceTiles();

// Tool tip, accessibility label and hint of a tile.
QString sourceTileHelp(std::optional<int> faderNumber);
QString sourceTileAccessibleName(const QString& name, std::optional<int> faderNumber);
inline const QString kSourceTileHint = QStringLiteral("Activate to put it on the first free fader");
// The accessibility identifier, also the widget's object name.
inline QString sourceTileIdentifier(const QString& id) { return QStringLiteral("source-tile-") + id; }

template <class IconOf>
std::vector<SourceTile> appSourceTiles(const std::vector<AudioApp>& apps, IconOf iconOf) {
    std::vector<SourceTile> tiles;
    for (const AudioApp& app : apps) {
        if (app.bundleID.isEmpty()) continue;
        bool seen = false;
        for (const SourceTile& t : tiles) seen = seen || t.id == app.bundleID;
        if (seen) continue;
        tiles.push_back({app.bundleID, app.name, iconOf(app), QStringLiteral("app"), !app.isPlaying});
    }
    return tiles;
}

}  // namespace quellor
