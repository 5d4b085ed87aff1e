#include "ui/console/StripTitleBlock.h"

#include "setups/StripPalette.h"
#include "ui/console/StripFadeMenu.h"
#include "ui/style/PaletteColor.h"

namespace quellor {

namespace {

const QString kCheckmark = QStringLiteral("checkmark");

QColor fromHSB(double hue, double saturation, double brightness) {
    return QColor::fromHsvF(float(hue), float(saturation), float(brightness), 1.0f);
}

}  // namespace

QColor stripBarColor(const std::optional<int>& colorIndex, const QString& name) {
    if (colorIndex) {
        const StripColor& c = StripPalette::color(*colorIndex);
        return QColor::fromHsvF(float(c.hue), float(c.saturation), float(c.brightness), float(c.alpha));
    }
    return paletteColor(name.isEmpty() ? QStringLiteral("-") : name);
}

StripTitleBlock StripTitleBlock::of(const StripModel& model, bool compact) {
    StripTitleBlock block;
    block.barColor = stripBarColor(model.colorIndex, model.name);
    block.barOpacity = model.name.isEmpty() ? 0 : 1;
    block.name = model.name.toUpper();
    block.nameAccessibilityLabel = QStringLiteral("Strip name: ") + model.name;
    if (model.group) {
        block.groupTag = model.group;
        block.groupHelp = QStringLiteral("Group ") + *model.group + QStringLiteral(": these faders move together");
    }
    switch (model.kind) {
    case StripModel::Kind::Source: break;
    case StripModel::Kind::Input:
        block.kindTag = QStringLiteral("IN");
        block.kindColor = fromHSB(0.38, 0.5, 0.8);
        break;
    case StripModel::Kind::Output:
        block.kindTag = QStringLiteral("OUT");
        block.kindColor = fromHSB(0.6, 0.45, 0.88);
        break;
    }
    if (!compact && model.routeText) {
        block.routeLabel = model.routeText;
        block.routeAccessibilityLabel = QStringLiteral("Output of ") + model.name + QStringLiteral(": ") + *model.routeText;
    }
    return block;
}

MenuModel routeMenu(const StripModel& model) {
    MenuModel menu;
    for (const RouteItem& item : model.routeItems) {
        MenuItem entry = MenuItem::command(item.title, item.action);
        entry.objectName = item.id;
        if (item.checked) entry.symbol = kCheckmark;
        menu.push_back(std::move(entry));
    }
    return menu;
}

MenuModel colourMenu(const std::function<void(std::optional<int>)>& onColor) {
    MenuModel menu{MenuItem::command(QStringLiteral("Automatic"), [onColor] {
        if (onColor) onColor(std::nullopt);
    })};
    for (int k = 0; k < StripPalette::kCount; ++k) {
        MenuItem entry = MenuItem::command(QStringLiteral("Colour %1").arg(k + 1), [onColor, k] {
            if (onColor) onColor(k);
        });
        entry.symbol = QStringLiteral("circle.fill");
        menu.push_back(std::move(entry));
    }
    return menu;
}

MenuModel groupMenu(const std::optional<QString>& group, const std::function<void(std::optional<QString>)>& onGroup) {
    MenuModel menu{MenuItem::command(QStringLiteral("None"), [onGroup] {
        if (onGroup) onGroup(std::nullopt);
    })};
    for (const QString& tag : StripTitleBlock::kGroupTags) {
        MenuItem entry = MenuItem::command(QStringLiteral("Group ") + tag, [onGroup, tag] {
            if (onGroup) onGroup(tag);
        });
        if (group == tag) entry.symbol = kCheckmark;
        menu.push_back(std::move(entry));
    }
    return menu;
}

MenuModel titleBlockContextMenu(const StripModel& model, const StripCallbacks& callbacks, ConsoleFades& fades) {
    MenuModel menu{MenuItem::command(QStringLiteral("Rename…"), [onRename = callbacks.onRename] {
                       if (onRename) onRename();
                   }),
                   MenuItem::submenu(QStringLiteral("Colour"), colourMenu(callbacks.onColor)),
                   MenuItem::submenu(QStringLiteral("Group"), groupMenu(model.group, callbacks.onGroup))};
    // The fade section opens with its own divider.
    for (MenuItem& item : fadeSection(model, fades)) menu.push_back(std::move(item));
    return menu;
}

}  // namespace quellor
