#pragma once
// The title block at the foot of a console strip: a header row (colour bar, name, group tag, kind
// tag) over the route line that opens the route menu, and the title block's context menu (rename,
// colour, group, then the fade section). The block changes nothing itself: the route entries run
// their model's actions, and name, colour and group choices go to the console through the strip's
// callbacks.
//
// The colour bar takes the strip's chosen palette entry (any stored index, negative ones too,
// selects an entry modulo 8) or, without a choice, the automatic colour of its name ("-" for an
// empty name, whose bar keeps its place but is not seen).
//
// Threads: values only; menu actions run on the main thread.

#include <QColor>
#include <QString>
#include <functional>
#include <optional>

#include "ui/console/StripModel.h"
#include "ui/style/MenuModel.h"

namespace quellor {

class ConsoleFades;

// What the strip hands the console for its title block's choices.
struct StripCallbacks {
    std::function<void()> onRename;
    std::function<void(std::optional<int>)> onColor;          // nullopt: the automatic colour
    std::function<void(std::optional<QString>)> onGroup;      // nullopt: no group
};

struct StripTitleBlock {
    // The group tags the Group menu offers, in order. A tag stored elsewhere is shown unchanged.
    static inline const QStringList kGroupTags{"A", "B", "C", "D"};
    static inline const QString kRouteHelp = QStringLiteral("Where this source plays: click to choose");

    QColor barColor;
    double barOpacity = 1;
    QString name;  // shown in upper case
    QString nameAccessibilityLabel;
    std::optional<QString> groupTag;
    QString groupHelp;
    std::optional<QString> kindTag;  // "IN", "OUT", or none for an application
    QColor kindColor;
    // The route line: absent on compact strips and for sources that play nowhere in particular.
    std::optional<QString> routeLabel;
    QString routeAccessibilityLabel;

    static StripTitleBlock of(const StripModel& model, bool compact);
};

// The colour of a strip's bar.
QColor stripBarColor(const std::optional<int>& colorIndex, const QString& name);

// The route menu: the model's entries in order, a checked one with a check mark.
MenuModel routeMenu(const StripModel& model);
// "Automatic", then "Colour 1" … "Colour 8".
MenuModel colourMenu(const std::function<void(std::optional<int>)>& onColor);
// "None", then "Group A" … "Group D", the strip's own group checked.
MenuModel groupMenu(const std::optional<QString>& group, const std::function<void(std::optional<QString>)>& onGroup);
// "Rename…", "Colour", "Group", then the fade section behind its divider.
MenuModel titleBlockContextMenu(const StripModel& model, const StripCallbacks& callbacks, ConsoleFades& fades);

}  // namespace quellor
