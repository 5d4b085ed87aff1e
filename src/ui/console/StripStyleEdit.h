#pragma once
// What the console does with a strip's name, colour and group choices: each is stored in the
// engine's strip styles under the strip's source id (so it follows the source to any slot),
// creating the source's style with nothing set when it has none and keeping its other fields. The
// engine saves the styles and announces the change; the strips show it once rebuilt.
//
// A typed name loses the spaces and tabs at its ends (line breaks stay); nothing left means the
// automatic name again. A style whose fields have all been cleared stays in the map.
//
// Threads: main thread only.

#include <QString>
#include <functional>
#include <optional>

#include "ui/console/StripTitleBlock.h"

namespace quellor {

class MixerEngine;

inline const QString kRenameStripTitle = QStringLiteral("Rename strip");
inline const QString kRenameStripPlaceholder = QStringLiteral("Automatic name");

// The text the rename prompt starts from: the style's own name, or empty.
QString stripStyleName(const MixerEngine& engine, const QString& id);
void renameStrip(MixerEngine& engine, const QString& id, const QString& typed);
void setStripColor(MixerEngine& engine, const QString& id, std::optional<int> color);
void setStripGroup(MixerEngine& engine, const QString& id, std::optional<QString> group);

// The strip callbacks of the source `id`: colour and group stored as above, rename handed to
// `onRename` (which opens the prompt). They hold the engine weakly.
StripCallbacks stripStyleCallbacks(MixerEngine& engine, const QString& id, std::function<void()> onRename);

}  // namespace quellor
